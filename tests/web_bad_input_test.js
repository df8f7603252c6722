// The page given bad input, case by case: what is wrong is said on the page or in the console,
// nothing on the page breaks, and a good level dropped next plays.
// Usage: node tests/web_bad_input_test.js   (after scripts/web.sh)
"use strict";
const fs = require("fs");
const path = require("path");
const {openSite, root, sleep, check, until} = require("../scripts/browser.js");

const good = fs.readFileSync(path.join(root, "data/entity.dat"), "utf8");
// The game's level with a template of its own that shows the picture at path.
function naming(picture) {
	return good.replace("ENTITY Player\n", "ENTITY Player USES Marker\n") +
		"\nENTITY Marker STATE IDLE FRAME " + picture + " END_FRAME END_STATE END_ENTITY\n";
}
const shot = Array.from(fs.readFileSync(path.join(root, "gfx/shot.png")));
// A PNG's signature and header for a picture of 60,000 x 60,000 pixels, and nothing more.
const bomb = Array.from(Buffer.concat([Buffer.from("89504e470d0a1a0a0000000d49484452", "hex"),
	Buffer.from([0, 0, 0xea, 0x60, 0, 0, 0xea, 0x60, 8, 6, 0, 0, 0, 0, 0, 0, 0])]));

// Each bad input: files dropped ([name, text, bytes or a length of zeros]) or the page's
// address, and what the page (status) or the console then says.
const cases = [
	{what: "files without a .dat", drop: [["shot.png", shot]],
		status: "A level is an entity definition file (.dat), with the pictures it names."},
	{what: "a level without a Player", drop: [["pilot.dat", good.replace(/ENTITY Player\b/g, "ENTITY Pilot")]],
		status: "This level cannot start: it makes no player."},
	{what: "?level= naming a file that is not there", address: "?level=missing.dat",
		status: "The level missing.dat could not be fetched (404)."},
	{what: "?level= naming a path", address: "?level=../data/entity.dat",
		status: "?level= names a level file served beside this page"},
	{what: "a 100 MB file", drop: [["huge.dat", 100 << 20]], status: "huge.dat is larger than any file the game reads (64 MB)."},
	{what: "a picture bomb", drop: [["bomb.dat", naming("gfx/bomb.png")], ["bomb.png", bomb]],
		console: "Could not load image file gfx/bomb.png (picture of 60000 x 60000 pixels is larger than 16777216 pixels)"},
	{what: "a picture named with ../", drop: [["up.dat", naming("../up.png")], ["up.png", shot]],
		console: "The level names the picture ../up.png outside the game's folder: the page puts nothing there."},
	{what: "a served level naming a picture with ../", address: "?level=vorska-test-up.dat",
		serve: ["vorska-test-up.dat", naming("../gfx/shot.png")],
		console: "The level names the picture ../gfx/shot.png outside the game's folder: the page puts nothing there."},
];

(async function () {
	const site = await openSite();
	const page = await site.browser.newPage();
	const lines = [];
	const errors = [];
	page.on("console", function (m) { lines.push(m.text()); });
	page.on("pageerror", function (e) { errors.push(e.message); });
	const status = function () { return page.$eval("#status", function (e) { return e.textContent; }); };
	// A test that a game has started since the console's line from.
	function startedSince(from) {
		return function () { return lines.slice(from).includes("SDL video mode set "); };
	}
	async function drop(files) {
		await page.evaluate(function (list) {
			const dt = new DataTransfer();
			for (const [name, content] of list) {
				const bytes = typeof content === "string" ? content : new Uint8Array(content);
				dt.items.add(new File([bytes], name));
			}
			document.dispatchEvent(new DragEvent("drop", {dataTransfer: dt, bubbles: true, cancelable: true}));
		}, files);
	}

	await page.goto(site.url);
	await until("the game starts", startedSince(0));
	for (const c of cases) {
		const from = lines.length;
		if (c.serve) {
			fs.writeFileSync(path.join(root, "build-web", "site", c.serve[0]), c.serve[1]);
		}
		if (c.address) {
			await page.goto(site.url + c.address);
		} else {
			await drop(c.drop);
		}
		if (c.status) {
			await until(c.what + ": the page says so", async function () { return (await status()).startsWith(c.status); });
		} else {
			await until(c.what + ": the console says so", function () { return lines.slice(from).some(function (l) { return l.endsWith(c.console); }); });
		}
		if (c.serve) {
			fs.rmSync(path.join(root, "build-web", "site", c.serve[0]));
		}
		const next = lines.length;
		await drop([["good.dat", good]]);
		await until(c.what + ": a good level dropped next starts", startedSince(next));
		await sleep(500);
		check(await status() === "", c.what + ": and plays on " + JSON.stringify(await status()));
	}

	// A level dropped while the one before it still loads: the game replaced may yet fail its
	// fetches or end as its frame goes, and what it says then is not the new game's.
	let from = lines.length;
	await drop([["first.dat", good]]);
	await until("a level dropped starts", startedSince(from));
	const replaced = await page.evaluateHandle(function () { return document.getElementById("game").contentWindow; });
	from = lines.length;
	await drop([["good.dat", good]]);
	await until("the level dropped next starts", startedSince(from));
	await page.evaluate(function (old) {
		old.Module.onAbort("both async and sync fetching of the wasm failed");
		old.Module.onExit(old.Module.exitStatuses.played);
	}, replaced);
	check(await status() === "", "and the game it replaced says nothing " + JSON.stringify(await status()));
	check(errors.length === 0, "no uncaught errors on the page " + JSON.stringify(errors));
	await site.close();
	console.log("browser bad input test passed");
})().catch(function (e) {
	console.error(e.message || e);
	process.exit(1);
});
