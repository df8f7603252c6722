// The browser build played in headless Chromium: the desktop game's start-up messages, a drawn
// field, the dumps, the arrows and a gamepad steering the ship, Escape ending the game on the
// page, and a level given through the file chooser. No uncaught error on the page.
// Usage: node tests/web_test.js path/to/desktop/vorska   (after scripts/web.sh)
"use strict";
const {execFileSync} = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");
const {openSite, root, sleep, check, until, playing} = require("../scripts/browser.js");

// What a run prints up to its first template loaded in play: its start-up messages.
function startUp(lines) {
	const play = lines.findIndex(function (l) { return l.startsWith("Entity::loadEn:"); });
	return play < 0 ? lines : lines.slice(0, play);
}

// The desktop game's output over a second and a half of play, line by line as it comes, closed as a
// window manager closes it; the line saying where its run went, which a page has not, left out.
function desktopLines(game) {
	const state = fs.mkdtempSync(path.join(os.tmpdir(), "vorska-state-"));  // where it saves its run
	const out = execFileSync("sh", ["-c", 'stdbuf -oL "$0" 2>&1 & sleep 1.5; kill -TERM $!; wait $!', game],
		{cwd: root, env: Object.assign({}, process.env, {SDL_VIDEODRIVER: "dummy", SDL_AUDIODRIVER: "dummy",
			XDG_STATE_HOME: state})});
	fs.rmSync(state, {recursive: true});
	return out.toString().split("\n").filter(function (l) { return l !== "" && !l.startsWith("Run saved: "); });
}

(async function () {
	const desktop = startUp(desktopLines(path.resolve(process.argv[2])));
	const site = await openSite();
	// a pad that the test holds, in place of the browser's, in the page and in the game's frame
	const {page, game, lines, errors, hold, dump} = await playing(site, null, function (p) {
		return p.evaluateOnNewDocument(function () {
			const top = window.top;
			if (window === top) {
				const buttons = Array.from({length: 17}, function () { return {pressed: false, value: 0}; });
				top.pad = {id: "test pad", index: 0, connected: true, mapping: "standard", timestamp: 0, axes: [0, 0, 0, 0],
					buttons: buttons};
			}
			navigator.getGamepads = function () { return [top.pad]; };
		});
	});
	const shipX = async function () { return (await dump()).x; };
	check(await page.title() === "VORSKA", "the page is titled VORSKA");
	await sleep(1500);
	check(JSON.stringify(startUp(lines).slice(0, desktop.length)) === JSON.stringify(desktop),
		"the start-up messages are the desktop game's: " + JSON.stringify(desktop.slice(0, 5)));
	const spread = await game().evaluate(function () {
		const d = document.getElementById("canvas").getContext("2d").getImageData(175, 0, 450, 600).data;
		return new Set(Array.from({length: 1000}, function (_, i) { return d[i * 1080]; })).size;
	});
	check(spread > 20, "the play field is drawn (" + spread + " shades)");
	const x0 = await shipX();
	await hold(["ArrowLeft"], 300);
	const x1 = await shipX();
	check(x1 < x0, "Left moves the ship from " + x0 + " to " + x1);
	// the music and the volley through the browser's audio, once a key has let the page play sound
	// (a volley rings for a moment: Space is held, firing volley after volley, until one is heard)
	const voices = function () {
		return game().evaluate(function () { return SDL.channels.filter(function (c) { return c.audio; }).length; });
	};
	await page.keyboard.down(" ");
	await until("the music and the volley play", async function () { return (await voices()) >= 2; });
	await page.keyboard.up(" ");
	await page.evaluate(function () { window.pad.axes[0] = 1; });
	await sleep(300);
	await page.evaluate(function () { window.pad.axes[0] = 0; });
	const x2 = await shipX();
	check(x2 > x1, "the gamepad's stick moves the ship from " + x1 + " to " + x2);
	await hold(["Escape"]);
	await until("Escape ends the game and the page says so", async function () {
		return (await page.$eval("#status", function (e) { return e.textContent; })).startsWith("The game has ended");
	});

	// a level with a template of its own, and the picture it names, through the file chooser
	const dir = fs.mkdtempSync(path.join(os.tmpdir(), "vorska-level-"));
	const level = fs.readFileSync(path.join(root, "data/entity.dat"), "utf8").replace("ENTITY Player\n",
		"ENTITY Player USES Marker\n") + "\nENTITY Marker STATE IDLE FRAME levels/marker.png END_FRAME END_STATE END_ENTITY\n";
	fs.writeFileSync(path.join(dir, "mine.dat"), level);
	fs.copyFileSync(path.join(root, "gfx/shot.png"), path.join(dir, "marker.png"));
	const from = lines.length;
	await (await page.$("#level")).uploadFile(path.join(dir, "mine.dat"), path.join(dir, "marker.png"));
	await until("the chosen level starts", function () { return lines.slice(from).includes("SDL video mode set "); });
	await sleep(500);
	await hold(["Shift", "d"]);
	await until("its own template and its picture show in the Shift+D dump", function () {
		const frame = lines.indexOf("    FRAME levels/marker.png", from);
		return lines.indexOf("ID Marker", from) >= 0 && frame >= 0 && /^ +BITMAP 0x\w+ \(4x14\)$/.test(lines[frame + 1]);
	});
	fs.rmSync(dir, {recursive: true});
	check(errors.length === 0, "no uncaught errors on the page " + JSON.stringify(errors));
	await site.close();
	console.log("browser test passed");
})().catch(function (e) {
	console.error(e.message || e);
	process.exit(1);
});
