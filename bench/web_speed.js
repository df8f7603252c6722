// The browser build's speed in headless Chromium: how long the page takes to show its first
// frame, how many game cycles a second the game then runs, and the site's size; in a window of
// a given size, where the page scales the game to fit (puppeteer's default is 800 x 600).
// Usage: node bench/web_speed.js [seconds] [--viewport WIDTHxHEIGHT]
// (after scripts/web.sh and scripts/deps.sh test)
"use strict";
const fs = require("fs");
const path = require("path");
const {openSite, root, sleep} = require("../scripts/browser.js");

const args = process.argv.slice(2);
const sizeAt = args.indexOf("--viewport");
const size = sizeAt >= 0 ? args.splice(sizeAt, 2)[1] : "";
if (sizeAt >= 0 && !/^\d+x\d+$/.test(size)) {
	console.error("--viewport takes WIDTHxHEIGHT, as in --viewport 2560x1440");
	process.exit(2);
}
const seconds = Number(args[0] || 20);

(async function () {
	const site = await openSite();
	const page = await site.browser.newPage();
	if (size !== "") {
		const [width, height] = size.split("x").map(Number);
		await page.setViewport({width: width, height: height});
	}
	// Game cycles a second, from the field's scroll: the camera climbs one pixel a cycle, so the
	// picture moves down by as many rows as cycles ran between two grabs of the play viewport.
	// Measured in the page with the page's clock, without touching the game.
	function scrollRate(ms) {
		const ctx = document.getElementById("canvas").getContext("2d");
		const grab = function () { return ctx.getImageData(175, 0, 450, 600).data; };
		const before = grab();
		const start = performance.now();
		return new Promise(function (resolve) { setTimeout(resolve, ms); }).then(function () {
			const after = grab();
			const elapsed = performance.now() - start;
			let best = 0;
			let bestError = Infinity;
			for (let rows = 0; rows < 300; rows++) {
				let error = 0;
				for (let y = 0; y + rows < 600; y += 4) {
					for (let x = 0; x < 450; x += 8) {
						const i = (y * 450 + x) * 4;
						const j = ((y + rows) * 450 + x) * 4;
						error += Math.abs(before[i] - after[j]) + Math.abs(before[i + 1] - after[j + 1]);
					}
				}
				error /= 600 - rows;
				if (error < bestError) {
					bestError = error;
					best = rows;
				}
			}
			return best * 1000 / elapsed;
		});
	}

	const opened = Date.now();
	await page.goto(site.url);
	let frame;
	for (;;) {
		frame = page.frames().find(function (f) { return f.url().endsWith("game.html"); });
		const drawn = frame && await frame.evaluate(function () {
			const d = document.getElementById("canvas").getContext("2d").getImageData(175, 300, 450, 1).data;
			return d.some(function (v, i) { return i % 4 !== 3 && v !== d[i % 4]; });
		}).catch(function () { return false; });
		if (drawn) {
			break;
		}
		await sleep(10);
	}
	const firstFrame = Date.now() - opened;
	await sleep(2000);
	const rates = [];
	for (let i = 0; i < seconds / 2; i++) {
		rates.push(await frame.evaluate(scrollRate, 2000));
	}
	rates.sort(function (x, y) { return x - y; });
	const siteDir = path.join(root, "build-web", "site");
	const bytes = fs.readdirSync(siteDir).reduce(function (n, f) { return n + fs.statSync(path.join(siteDir, f)).size; }, 0);
	const shown = await frame.evaluate(function () {
		const r = document.getElementById("canvas").getBoundingClientRect();
		return Math.round(r.width) + " x " + Math.round(r.height);
	});
	const viewport = page.viewport();
	console.log("window " + viewport.width + " x " + viewport.height + ", the game shown " + shown);
	console.log("first frame after " + firstFrame + " ms");
	console.log("game cycles a second: median " + rates[rates.length >> 1].toFixed(1) + " of " + rates.length +
		" spans of 2 s (lowest " + rates[0].toFixed(1) + ", highest " + rates[rates.length - 1].toFixed(1) + ")");
	console.log("site: " + (bytes / 1048576).toFixed(2) + " MB");
	await site.close();
})().catch(function (e) {
	console.error(e);
	process.exit(1);
});
