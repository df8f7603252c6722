// ESLint's rules for the project's JavaScript (scripts/lint.sh runs it over every tracked .js):
// the recommended rules, and for each file the globals of where it runs. ESLint and these
// packages are the ones that scripts/deps.sh test puts in build-web/npm.
"use strict";
const path = require("path");

const npm = path.join(__dirname, "build-web", "npm", "node_modules");
const js = require(path.join(npm, "@eslint", "js"));
const globals = require(path.join(npm, "globals"));

// What emscripten's vorska.js defines in the game's frame: the module, its file system, its
// main, and its SDL layer.
const frameGlobals = {Module: "readonly", FS: "readonly", callMain: "readonly", SDL: "readonly"};

module.exports = [
	// what the builds and the Debian package leave in the tree
	{ignores: ["build*/", "obj-*/", "debian/"]},
	js.configs.recommended,
	// the page and the game's frame, loaded by <script> tags
	{
		files: ["platform/web/**/*.js"],
		languageOptions: {sourceType: "script", globals: {...globals.browser}},
	},
	{
		files: ["platform/web/frame.js"],
		languageOptions: {globals: frameGlobals},
	},
	// node's programs: the browser test, the browser benchmark, their shared code and this file
	{
		files: ["tests/**/*.js", "scripts/**/*.js", "bench/**/*.js", "eslint.config.js"],
		languageOptions: {sourceType: "commonjs", globals: {...globals.node}},
	},
	// the programs that drive the browser hand it functions (page.evaluate), which run in the
	// page or in the game's frame
	{
		files: ["tests/web_*.js", "bench/web_speed.js"],
		languageOptions: {globals: {...globals.browser, ...frameGlobals}},
	},
];
