// The page around the game. The game plays in a frame of its own, so that starting again starts
// from nothing; the page gives it a designer's level (chosen, dropped, or named in the address
// as ?level=NAME.dat) or a run to play back (chosen, dropped, or ?run=NAME.vrun), says when the
// game has ended and offers its run, and puts the game area in full screen. The frame's side is
// frame.js.
"use strict";
(function () {
	const status = document.getElementById("status");
	const area = document.getElementById("area");

	// What the frame reads from the page and calls back.
	const page = {
		files: [],     // {path, bytes}: written over the game's own files before it starts
		shared: null,  // a level file served beside this page, fetched by the frame
		ended: gameEnded,
		say: say,
		drop: playFiles,
		placeablePictures: placeablePictures,
		toggleFullScreen: toggleFullScreen,
		// a touch screen: the controls line says how to play by touch, and the game shows its buttons
		touch: navigator.maxTouchPoints > 0 || matchMedia("(any-pointer: coarse)").matches,
		canFullScreen: document.fullscreenEnabled === true,
		showing: showing,
	};
	window.vorskaPage = page;
	document.documentElement.classList.toggle("touch", page.touch);
	document.documentElement.classList.toggle("full", page.canFullScreen);

	// Runs: the one the next frame plays back, one served beside this page (?run=NAME.vrun), the
	// one the frame played, and the run of the game that has just ended.
	page.run = null;
	page.sharedRun = null;
	page.watched = null;
	page.recorded = null;
	page.runRecorded = runRecorded;

	// Shows text under the game, with a button that starts the game again when again is set; out
	// of full screen, where the page's lines are hidden.
	function say(text, again) {
		if (text !== "" && document.fullscreenElement) {
			document.exitFullscreen();
		}
		status.textContent = text;
		if (again) {
			const button = document.createElement("button");
			button.textContent = "Start again";
			button.addEventListener("click", start);
			status.append(button);
		}
	}

	// Whether frame is the game's frame the page shows, not one a newer game replaced.
	function showing(frame) {
		return frame !== null && frame === document.getElementById("game");
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

	// Puts the game area in full screen, or back in the page: the Full screen buttons do, and so
	// does the game's own full screen key (platform/web/sdl_video.cpp). Answers the state asked
	// for, which the browser reaches a moment later: 1 full screen, 0 the page, -1 when this
	// browser has no full screen to give.
	function toggleFullScreen() {
		if (document.fullscreenElement) {
			document.exitFullscreen();
			return 0;
		}
		if (!page.canFullScreen) {
			return -1;
		}
		area.requestFullscreen().catch(function (why) { say("The browser refused full screen: " + why.message); });
		return 1;
	}

	// Tells how the game ended, by its exit status and the names the game gives its statuses.
	function gameEnded(code, statuses) {
		if (runEnded(code, statuses)) {
			return;
		}
		if (code === statuses.played) {
			say("The game has ended.", true);
		} else if (code === statuses.noPlayer) {
			say("This level cannot start: it makes no player. The browser's console tells why.", true);
		} else {
			say("The game stopped with status " + code + ". The browser's console tells why.", true);
		}
		offerRecorded();
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
		if (await takeRun(list)) {
			return;
		}
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

	document.getElementById("fullscreen").addEventListener("click", function () {
		toggleFullScreen();
		document.getElementById("game").contentWindow.focus();
	});

	// Takes the run among the files given, to be played back in the next frame: on the level
	// given with it, else on the level played last. False when there is no run among them.
	async function takeRun(list) {
		const files = Array.from(list);
		const file = files.find(function (f) { return /\.vrun$/i.test(f.name); });
		if (file === undefined) {
			return false;
		}
		page.run = {name: file.name.replace(/[^\w.-]/g, "_"), bytes: new Uint8Array(await file.arrayBuffer())};
		const level = files.filter(function (f) { return f !== file; });
		if (level.length > 0) {
			await playFiles(level);
		} else {
			start();
		}
		return true;
	}

	// Keeps the run of the game that has just ended, for its Save this run.
	function runRecorded(name, bytes) {
		page.recorded = {name: name, bytes: bytes};
	}

	// Offers the run of the game that has just ended, when it left one, as a download.
	function offerRecorded() {
		const run = page.recorded;
		page.recorded = null;
		if (run === null) {
			return;
		}
		const button = document.createElement("button");
		button.textContent = "Save this run";
		button.addEventListener("click", function () {
			const link = document.createElement("a");
			link.download = run.name;
			link.href = URL.createObjectURL(new Blob([run.bytes], {type: "application/octet-stream"}));
			link.click();
			setTimeout(function () { URL.revokeObjectURL(link.href); }, 1000);
		});
		status.append(button);
	}

	// Tells how the run the frame played back ended, with a button to watch it again; false
	// when the frame played a game of its own, or the run could not end as a run ends.
	function runEnded(code, statuses) {
		const run = page.watched;
		if (run === null) {
			return false;
		}
		const said = {};
		said[statuses.played] = "The run " + run.name + " has been played.";
		said[statuses.runRefused] = "The run " + run.name + " cannot be played here. The browser's console tells why.";
		said[statuses.runOutOfStep] = "The game went out of step with the run " + run.name +
			". The browser's console tells where.";
		if (said[code] === undefined) {
			return false;
		}
		say(said[code], true);
		const again = document.createElement("button");
		again.textContent = "Watch again";
		again.addEventListener("click", function () {
			page.run = run;
			start();
		});
		status.append(again);
		return true;
	}

	// Takes the run that ?run= names, served beside this page; what is wrong with the name,
	// else "".
	function shareRun(name) {
		const named = name !== null && /^[\w.-]+\.vrun$/.test(name);
		page.sharedRun = named ? name : null;
		return name === null || named ? "" : "?run= names a run file served beside this page, as in ?run=mine.vrun";
	}

	document.getElementById("level").addEventListener("change", function (e) { playFiles(e.target.files); });
	document.getElementById("run").addEventListener("change", function (e) { takeRun(e.target.files); });
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
	const runComplaint = shareRun(new URLSearchParams(location.search).get("run"));
	start();
	if (shared !== null && !named) {
		say("?level= names a level file served beside this page, as in ?level=mine.dat");
	}
	if (runComplaint !== "") {
		say(runComplaint);
	}
})();
