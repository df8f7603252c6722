// The page on any screen and the game by touch, in headless Chromium with device emulation: the
// largest 4:3 box on a wide monitor, in full screen and out again (the Full screen button, the
// game's own toggle and its F11); a phone upright and on its side without a sideways scroll; a
// finger that steers and fires while a second one comes and goes; the pause button; a turn of
// the phone that keeps the same game running.
// Usage: node tests/web_touch_test.js   (after scripts/web.sh)
"use strict";
const {openSite, sleep, check, until, playing} = require("../scripts/browser.js");

const phone = {width: 390, height: 844, isMobile: true, hasTouch: true};

// The canvas's box on the page and how it is scaled, and whether the page scrolls sideways.
async function layout(page, game) {
	const frame = await page.$eval("#game", function (e) { return e.getBoundingClientRect().toJSON(); });
	return Object.assign(await game.evaluate(function () {
		const c = document.getElementById("canvas");
		const r = c.getBoundingClientRect();
		return {width: r.width, height: r.height, rendering: getComputedStyle(c).imageRendering,
			buttons: !document.getElementById("buttons").hidden};
	}), await page.evaluate(function () {
		return {sideways: document.documentElement.scrollWidth > document.documentElement.clientWidth,
			touchLine: document.querySelector("#controls .touch-only").offsetHeight > 0,
			controls: document.getElementById("controls").getBoundingClientRect().top};
	}), {top: frame.top, left: frame.left});
}

// A sample of the canvas, which stays the same only while the game draws nothing: in the pause.
function picture(game) {
	return game.evaluate(function () {
		const d = document.getElementById("canvas").getContext("2d").getImageData(175, 0, 450, 600).data;
		return Array.from({length: 2000}, function (_, i) { return d[i * 540]; }).join();
	});
}

(async function () {
	const site = await openSite();

	// a small window, without touch, made as wide as a monitor: a big crisp picture, no touch
	// buttons; full screen and back
	const desk = await playing(site, {width: 640, height: 480});
	check((await layout(desk.page, desk.game())).rendering === "auto", "shrunk to 640 x 480 the picture is smooth");
	await desk.page.setViewport({width: 2560, height: 1440});
	await sleep(500);  // the frame re-fits on its resize event
	let seen = await layout(desk.page, desk.game());
	check(seen.width >= 1600 && seen.height >= 1200 && seen.rendering === "pixelated",
		"at 2560 x 1440 the canvas is " + seen.width + " x " + seen.height + ", " + seen.rendering);
	check(!seen.buttons && !seen.touchLine, "no touch buttons or touch help without a touch screen");
	const fullScreen = function () { return desk.page.evaluate(function () { return document.fullscreenElement?.id; }); };
	await desk.page.click("#fullscreen");
	await until("the Full screen button puts the game area in full screen", async function () {
		return await fullScreen() === "area";
	});
	const toggle = function (screen) {
		return desk.game().evaluate(function (s) { return Module._webWMToggleFullScreen(s ? SDL.screen : 0); }, screen);
	};
	check(await toggle(true) === 1, "the game's full screen toggle is done");
	await until("and leaves full screen", async function () { return await fullScreen() === undefined; });
	check(await toggle(false) === 0, "the toggle refuses a surface that is not the screen");
	await desk.hold(["F11"]);
	await until("F11 in the game puts the game area in full screen, and the game says so", async function () {
		return await fullScreen() === "area" && desk.lines.includes("  Full-screen  : Yes");
	});
	await desk.hold(["Escape"]);
	await until("the game's end takes the page out of full screen, to say so", async function () {
		return await fullScreen() === undefined && await desk.page.$eval("#status", function (e) { return e.textContent !== ""; });
	});
	await desk.page.close();

	// a phone upright: the game fills the width at the top, the lines under it; the touch help
	const play = await playing(site, phone);
	seen = await layout(play.page, play.game());
	check(Math.round(seen.width) === phone.width && seen.top === 0 && !seen.sideways && seen.controls >= seen.height,
		"upright the canvas fills the width at the top (" + seen.width + " x " + seen.height + "), the controls under it");
	check(seen.buttons && seen.touchLine, "touch buttons and touch help shown");

	// one finger steers left and fires; a second finger's coming, moving and going changes nothing
	await play.hold(["ArrowRight"], 500);
	const x0 = (await play.dump()).x;
	const first = await play.page.touchscreen.touchStart(200, 150);
	await first.move(140, 150);
	const second = await play.page.touchscreen.touchStart(300, 200);
	await second.move(380, 200);
	await second.end();
	await sleep(200);
	const held = await play.dump();
	check(held.x < x0 && held.shots > 0, "a finger dragged left moves the ship from " + x0 + " to " + held.x +
		" and fires (" + held.shots + " shots)");
	await sleep(200);
	const still = (await play.dump()).x;
	check(still < held.x, "after a second finger left, the first still steers (" + still + ")");
	await first.end();
	const left = (await play.dump()).x;
	await sleep(300);
	check((await play.dump()).x === left, "the ship stops when the finger is lifted");

	// the pause button pauses, and again resumes
	const tap = async function () {
		const b = await (await play.game().$("[data-key=p]")).boundingBox();
		await play.page.touchscreen.tap(b.x + b.width / 2, b.y + b.height / 2);
		await sleep(400);
	};
	await tap();
	const paused = await picture(play.game());
	await sleep(400);
	check(await picture(play.game()) === paused, "the pause button pauses the game");
	await tap();
	check(await picture(play.game()) !== paused, "and again resumes it");

	// turned on its side: the game fills the height, still the same game
	await play.game().evaluate(function () { window.before = true; });
	await play.page.setViewport(Object.assign({}, phone, {width: phone.height, height: phone.width, isLandscape: true}));
	await sleep(500);
	seen = await layout(play.page, play.game());
	check(Math.round(seen.height) === phone.width && !seen.sideways && await play.game().evaluate(function () { return window.before; }),
		"on its side the canvas fills the height (" + seen.width + " x " + seen.height + ") of the same game");
	check(play.errors.length === 0, "no uncaught errors on the page " + JSON.stringify(play.errors));
	await site.close();
	console.log("browser touch test passed");
})().catch(function (e) {
	console.error(e.message || e);
	process.exit(1);
});
