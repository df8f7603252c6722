// Serves the browser build (build-web/site, from scripts/web.sh) on this machine and opens a
// headless Chromium on it, for the browser tests and the browser benchmark, and plays the game
// in a page of it as the tests do; and what the tests share besides. puppeteer-core is the one
// that scripts/deps.sh test puts in build-web/npm.
"use strict";
const fs = require("fs");
const http = require("http");
const os = require("os");
const path = require("path");

const root = path.resolve(__dirname, "..");
const site = path.join(root, "build-web", "site");
const puppeteer = require(path.join(root, "build-web", "npm", "node_modules", "puppeteer-core"));

const contentTypes = {".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm"};

// A static server of the site on a free port of 127.0.0.1.
function serve() {
	const server = http.createServer(function (request, response) {
		const name = decodeURIComponent(request.url.split("?")[0]).replace(/^\/$/, "/index.html");
		const file = path.join(site, path.normalize(name));
		if (!file.startsWith(site + path.sep)) {
			response.writeHead(403).end();
			return;
		}
		fs.readFile(file, function (error, data) {
			if (error) {
				response.writeHead(404).end();
				return;
			}
			const type = contentTypes[path.extname(file)] || "application/octet-stream";
			response.writeHead(200, {"Content-Type": type}).end(data);
		});
	});
	return new Promise(function (resolve) {
		server.listen(0, "127.0.0.1", function () { resolve(server); });
	});
}

// Starts the server and the browser. Chromium runs as root here, with the network closed: no
// sandbox, no GPU, and none of its own calls home, in a profile of its own.
async function openSite() {
	const server = await serve();
	const profile = fs.mkdtempSync(path.join(os.tmpdir(), "vorska-chromium-"));
	const browser = await puppeteer.launch({
		executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
		headless: true,
		userDataDir: profile,
		args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
			"--disable-component-update", "--disable-sync"],
	});
	return {
		browser: browser,
		url: "http://127.0.0.1:" + server.address().port + "/",
		close: async function () {
			await browser.close();
			server.close();
			fs.rmSync(profile, {recursive: true, force: true});
		},
	};
}

// Resolves after ms milliseconds.
function sleep(ms) {
	return new Promise(function (resolve) { setTimeout(resolve, ms); });
}

// Says that what holds, or fails the test.
function check(ok, what) {
	if (!ok) {
		throw new Error("FAIL: " + what);
	}
	console.log("ok - " + what);
}

// Waits up to 15 s for test to hold, then checks it.
async function until(what, test) {
	for (let i = 0; i < 300 && !(await test()); i++) {
		await sleep(50);
	}
	check(await test(), what);
}

// Opens the site in a new page (of the viewport's size and kind, when given; prepare, when given,
// runs before it loads) and waits for the game to start. Gives the page, the game's frame, what
// the game has written (line by line), the page's uncaught errors, keys held on the page, and the
// ship's x and the shots in the world, from a Shift+E dump.
async function playing(site, viewport, prepare) {
	const page = await site.browser.newPage();
	if (viewport) {
		await page.setViewport(viewport);
	}
	const lines = [];
	const errors = [];
	page.on("console", function (m) {
		if (m.location().url.endsWith("/frame.js")) {
			lines.push(m.text());
		}
	});
	page.on("pageerror", function (e) { errors.push(e.message); });
	if (prepare) {
		await prepare(page);
	}
	await page.goto(site.url);
	await until("the game starts", function () { return lines.length >= 5; });
	async function hold(keys, ms) {
		for (const k of keys) {
			await page.keyboard.down(k);
		}
		await sleep(ms || 200);
		for (const k of keys.slice().reverse()) {
			await page.keyboard.up(k);
		}
	}
	async function dump() {
		const from = lines.length;
		await hold(["Shift", "e"]);
		const isShip = function (l) { return l === "  ID       Player"; };
		await until("Shift+E dumps the world", function () { return lines.slice(from).some(isShip); });
		// shots come before the ship in the world list
		const world = lines.slice(from, from + lines.slice(from).findIndex(isShip));
		const pos = world.slice().reverse().find(function (l) { return l.startsWith("  POS"); });
		return {x: Number(pos.match(/\((-?\d+),/)[1]), shots: world.filter(function (l) { return l === "  ID       Shot"; }).length};
	}
	return {
		page: page,
		game: function () { return page.frames().find(function (f) { return f.url().endsWith("/game.html"); }); },
		lines: lines,
		errors: errors,
		hold: hold,
		dump: dump,
	};
}

module.exports = {openSite: openSite, root: root, sleep: sleep, check: check, until: until, playing: playing};
