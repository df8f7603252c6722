// The page around the game. The game plays in a frame of its own, so that starting again starts
// from nothing; the page gives it a designer's level (chosen, dropped, or named in the address
// as ?level=NAME.dat) and says when the game has ended. The frame's side is frame.js.
"use strict";
(function () {
	const status = document.getElementById("status");

	// What the frame reads from the page and calls back.
	const page = {
		files: [],     // {path, bytes}: written over the game's own files before it starts
		shared: null,  // a level file served beside this page, fetched by the frame
		ended: gameEnded,
		say: say,
		drop: playFiles,
		placeablePictures: placeablePictures,
	};
	window.vorskaPage = page;

	// Shows text under the game, with a button that starts the game again when again is set.
	function say(text, again) {
		status.textContent = text;
		if (again) {
			const button = document.createElement("button");
			button.textContent = "Start again";
			button.addEventListener("click", start);
			status.append(button);
		}
	}

	// Starts the game afresh in a new frame, and gives it the keyboard.
	function start() {
		say("");
		const old = document.getElementById("game");
		const frame = old.cloneNode(false);
		frame.addEventListener("load", function () { frame.contentWindow.focus(); });
		frame.src = "game.html";
		old.replaceWith(frame);
	}

	// Tells how the game ended, by its exit status and the names the game gives its statuses.
	function gameEnded(code, statuses) {
		if (code === statuses.played) {
			say("The game has ended.", true);
		} else if (code === statuses.noPlayer) {
			say("This level cannot start: it makes no player. The browser's console tells why.", true);
		} else {
			say("The game stopped with status " + code + ". The browser's console tells why.", true);
		}
	}

	// The picture paths that the FRAME entries of an entity definition file name.
	function picturePaths(text) {
		const tokens = text.split(/\s+/);
		return tokens.filter(function (token, i) { return i > 0 && tokens[i - 1] === "FRAME"; });
	}

	// The pictures that a level names inside the game's folder, where the page may put them; the
	// others (a path from the root, or through "..") are told in the console and left alone.
	function placeablePictures(text) {
		return Array.from(new Set(picturePaths(text))).filter(function (path) {
			const inside = /^\w[\w./-]*$/.test(path) && !path.includes("..");
			if (!inside) {
				console.warn("The level names the picture " + path + " outside the game's folder: the page puts nothing there.");
			}
			return inside;
		});
	}

	// The largest file the game reads, as the game running in the frame gives it.
	function largestFile() {
		const game = document.getElementById("game").contentWindow.Module;
		return game !== undefined && game.largestFile !== undefined ? game.largestFile : Infinity;
	}

	// Plays the level in the files given: an entity definition file, which becomes
	// data/entity.dat, and pictures, each put where the definition file names it (else in gfx/).
	async function playFiles(list) {
		const files = Array.from(list);
		const definitions = files.find(function (f) { return /\.dat$/i.test(f.name); });
		if (definitions === undefined) {
			say("A level is an entity definition file (.dat), with the pictures it names.");
			return;
		}
		const tooLarge = files.find(function (f) { return f.size > largestFile(); });
		if (tooLarge !== undefined) {
			say(tooLarge.name + " is larger than any file the game reads (" + largestFile() / 1048576 + " MB).");
			return;
		}
		const named = placeablePictures(await definitions.text());
		page.files = await Promise.all(files.map(async function (f) {
			const place = named.find(function (p) { return p === f.name || p.endsWith("/" + f.name); });
			return {
				path: f === definitions ? "data/entity.dat" : place || "gfx/" + f.name,
				bytes: new Uint8Array(await f.arrayBuffer()),
			};
		}));
		page.shared = null;
		start();
	}

	document.getElementById("level").addEventListener("change", function (e) { playFiles(e.target.files); });
	document.addEventListener("dragover", function (e) {
		e.preventDefault();
		document.body.classList.add("dropping");
	});
	document.addEventListener("dragleave", function () { document.body.classList.remove("dropping"); });
	document.addEventListener("drop", function (e) {
		e.preventDefault();
		document.body.classList.remove("dropping");
		playFiles(e.dataTransfer.files);
	});

	const shared = new URLSearchParams(location.search).get("level");
	const named = shared !== null && /^[\w.-]+\.dat$/.test(shared);
	page.shared = named ? shared : null;
	start();
	if (shared !== null && !named) {
		say("?level= names a level file served beside this page, as in ?level=mine.dat");
	}
})();
