// Runs in the browser: a run the desktop game recorded in a real window (the window test's,
// under Xvfb) played back in the page from a link, ?run=, to the desktop's dumps; a game played
// in the page offering its run for download, which the desktop's vorska-replay plays to the
// page's dumps and which, chosen on the page, plays back there to the same.
// Usage: node tests/web_replay_test.js path/to/vorska path/to/vorska-replay   (after scripts/web.sh)
"use strict";
const {execFileSync} = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");
const {openSite, root, sleep, check} = require("../scripts/browser.js");

// Lines without the video-mode reports, which tell of the display (full screen changes it).
function withoutReports(lines) {
	const kept = [];
	for (let i = 0; i < lines.length; i += lines[i] === "SDL video mode set " ? 5 : 1) {
		if (lines[i] !== "SDL video mode set ") {
			kept.push(lines[i]);
		}
	}
	return kept;
}

// A game's standard output from its first dump on, addresses cut, the replay's own line and the
// video-mode reports left out.
function dumps(all) {
	const lines = withoutReports(all);
	const first = lines.findIndex(function (l) { return /^Entit(y Data|ies) \(/.test(l); });
	return lines.slice(first < 0 ? lines.length : first)
		.filter(function (l) { return l !== "" && !l.startsWith("vorska-replay:"); })
		.map(function (l) { return l.replace(/0x[0-9a-f]+/g, "0x"); }).join("\n");
}

(async function () {
	const [game, replay] = process.argv.slice(2).map(function (p) { return path.resolve(p); });
	const dir = fs.mkdtempSync(path.join(os.tmpdir(), "vorska-runs-"));
	execFileSync("sh", [path.join(root, "tests/window_test.sh"), game, replay, dir], {cwd: root, stdio: "inherit"});
	const desktop = dumps(fs.readFileSync(path.join(dir, "stdout"), "utf8").split("\n"));
	check(desktop.includes("Entity   0: Tank"), "the desktop game, recorded in a window, dumped its world");
	const shared = path.join(root, "build-web", "site", "desktop-run.vrun");
	fs.copyFileSync(path.join(dir, "run.vrun"), shared);

	const site = await openSite();
	const page = await site.browser.newPage();
	let out = [];  // the game's standard output, line by line
	page.on("console", function (m) {
		if (m.location().url.endsWith("/frame.js") && m.type() === "log") {
			out.push(m.text());
		}
	});
	const session = await site.browser.target().createCDPSession();
	await session.send("Browser.setDownloadBehavior", {behavior: "allow", downloadPath: dir});
	function status() {
		return page.$eval("#status", function (e) { return e.textContent; });
	}
	async function until(what, test) {
		for (let i = 0; i < 600 && !(await test()); i++) {
			await sleep(50);
		}
		check(await test(), what);
	}
	async function tap(key) {
		await page.keyboard.down(key);
		await sleep(200);
		await page.keyboard.up(key);
	}

	await page.goto(site.url + "?run=desktop-run.vrun");
	await until("the desktop's run plays back from a link", async function () { return (await status()).includes("has been played"); });
	check(dumps(out) === desktop, "its dumps in the console are the desktop's");
	fs.rmSync(shared);

	out = [];
	await page.goto(site.url);
	await until("a game starts in the page", function () { return out.length >= 5; });
	await sleep(1000);
	await tap("e");
	await sleep(500);
	await tap("Escape");
	await until("the page offers its run", async function () { return (await status()).includes("Save this run"); });
	const played = dumps(out);
	await page.click("#status button:last-of-type");
	const saved = function () { return fs.readdirSync(dir).find(function (f) { return f.endsWith(".vrun") && f !== "run.vrun"; }); };
	await until("Save this run downloads it", function () { return saved() !== undefined; });
	const run = path.join(dir, saved());
	const desktopPlayed = execFileSync(replay, ["--headless", run], {cwd: root, stdio: ["ignore", "pipe", "pipe"]})
		.toString().split("\n");
	check(dumps(desktopPlayed) === played && played.includes("Entity   0: Tank"), "vorska-replay plays it to the page's dumps");

	out = [];
	await (await page.$("#run")).uploadFile(run);
	await until("the run chosen on the page plays back", async function () { return (await status()).includes("has been played"); });
	check(dumps(out) === played, "to the same dumps");
	fs.rmSync(dir, {recursive: true});
	await site.close();
	console.log("browser replay test passed");
})().catch(function (e) {
	console.error(e.message || e);
	process.exit(1);
});
