// Serves the browser build (build-web/site, from scripts/web.sh) on this machine and opens a
// headless Chromium on it, for the browser tests and the browser benchmark; and what the tests
// share besides. puppeteer-core is
// the one that scripts/deps.sh test puts in build-web/npm.
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

// Waits ms milliseconds.
function sleep(ms) {
	return new Promise(function (resolve) { setTimeout(resolve, ms); });
}

// Says what passed, or stops the test on what did not.
function check(ok, what) {
	if (!ok) {
		throw new Error("FAIL: " + what);
	}
	console.log("ok - " + what);
}

module.exports = {openSite: openSite, root: root, sleep: sleep, check: check};
