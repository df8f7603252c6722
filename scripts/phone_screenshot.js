// Plays the browser build for a few seconds on a phone held on its side (headless Chromium's
// device emulation: 844 x 390, touch, twice as many screen pixels), steering and firing with a
// finger, and saves a picture of the page for the README: docs/phone.png.
// Usage: node scripts/phone_screenshot.js   (after scripts/web.sh and scripts/deps.sh test)
"use strict";
const path = require("path");
const {openSite, root, sleep, playing} = require("./browser.js");

(async function () {
	const site = await openSite();
	const phone = {width: 844, height: 390, deviceScaleFactor: 2, isMobile: true, hasTouch: true, isLandscape: true};
	const {page} = await playing(site, phone);
	await sleep(3000);
	// a finger down left of the centre, leaning left and right, firing all the while
	const finger = await page.touchscreen.touchStart(400, 250);
	for (let turn = 0; turn < 6; turn++) {
		await finger.move(turn % 2 === 0 ? 340 : 460, 250);
		await sleep(600);
	}
	await finger.move(400, 250);
	await sleep(300);
	await page.screenshot({path: path.join(root, "docs", "phone.png")});
	await finger.end();
	await site.close();
	console.log("wrote docs/phone.png");
})().catch(function (e) {
	console.error(e.message || e);
	process.exit(1);
});
