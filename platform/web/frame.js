// The game's frame: where the game's output goes, the designer's files it plays, the run it
// plays back or leaves, how the page (page.js) learns that the game has ended, and the fingers
// and buttons of a touch screen, which the game takes at its polls. Loaded before vorska.js,
// which reads Module.
"use strict";
(function () {
	const page = window.parent.vorskaPage;
	// this frame's element in the page, for as long as the page shows it
	const frame = window.frameElement;
	const canvas = document.getElementById("canvas");

	// How many touches wait at most for the game's next poll, should it stop polling.
	const touchQueueLimit = 1024;

	// What the browser's SDL layer says of itself, which the desktop game does not say.
	const layerRemarks = ["WARNING: copying canvas data to memory for compatibility"];

	// Writes bytes to path in the game's file system, making its folders.
	function write(path, bytes) {
		const folder = path.substring(0, path.lastIndexOf("/"));
		if (folder !== "") {
			FS.mkdirTree(folder);
		}
		FS.writeFile(path, bytes);
	}

	// Fetches a level file served beside the page, and the pictures it names that the game
	// does not have, if they are served at the paths it names.
	async function fetchShared(name) {
		const level = await fetch(name);
		if (!level.ok) {
			throw "The level " + name + " could not be fetched (" + level.status + ").";
		}
		const text = await level.text();
		write("data/entity.dat", new TextEncoder().encode(text));
		for (const path of page.placeablePictures(text)) {
			if (FS.analyzePath(path).exists) {
				continue;
			}
			const picture = await fetch(path);
			if (picture.ok) {
				write(path, new Uint8Array(await picture.arrayBuffer()));
			}
		}
	}

	// Puts the designer's files over the game's own ones.
	async function putLevel() {
		for (const f of page.files) {
			write(f.path, f.bytes);
		}
		if (page.shared !== null) {
			await fetchShared(page.shared);
		}
	}

	// The run the page hands over, or the one served beside it, put where the game plays it
	// from; the game's arguments, none for a game of its own.
	async function putRun() {
		const shared = page.sharedRun;
		let run = page.run;
		page.run = null;
		page.sharedRun = null;
		if (run === null && shared !== null) {
			const answer = await fetch(shared);
			if (!answer.ok) {
				throw "The run " + shared + " could not be fetched (" + answer.status + ").";
			}
			run = {name: shared, bytes: new Uint8Array(await answer.arrayBuffer())};
		}
		page.watched = run;
		if (run === null) {
			return [];
		}
		write("runs/" + run.name, run.bytes);
		return ["--run", "runs/" + run.name];
	}

	// A frame the page has replaced by a new game (a level dropped while this one loaded) may
	// still fail its fetches or end; what it says would be taken for the new game's.
	function replaced() {
		return !page.showing(frame);
	}

	// The call to the page, made only while the page still shows this frame.
	function whileShown(call) {
		return function () {
			if (!replaced()) {
				call.apply(null, arguments);
			}
		};
	}

	window.Module = {
		canvas: canvas,
		// what the fingers and buttons did since the game's last poll, oldest first: {kind: "down",
		// "move", "up" or "press", finger (a button's key), x, y (the page's pixels)}, taken by
		// platform/web/sdl_events.cpp
		touches: [],
		print: function (text) { console.log(text); },
		printErr: function (text) {
			if (!layerRemarks.includes(text)) {
				console.warn(text);
			}
		},
		// the game's own files are in place now; the designer's go over them, then the game starts
		onRuntimeInitialized: function () {
			if (replaced()) {
				return;
			}
			putLevel().then(putRun).then(function (args) { Module.callMain(args); },
				whileShown(function (why) { page.say(String(why), true); }));
		},
		// the page tells the statuses apart by the names the game gives them (exitStatuses)
		onExit: whileShown(function (code) { page.ended(code, Module.exitStatuses); }),
		onAbort: whileShown(function (what) { page.say("The game stopped: " + what, true); }),
		// the run of a game that has ended, for the page to offer
		runRecorded: whileShown(function (name, bytes) { page.runRecorded(name, bytes); }),
	};

	// Queues one touch for the game, unless too many already wait.
	function queueTouch(kind, finger, x, y) {
		if (Module.touches.length < touchQueueLimit) {
			Module.touches.push({kind: kind, finger: finger, x: x, y: y});
		}
	}

	// A listener that queues, as kind, each finger that changed on the canvas.
	function fingers(kind) {
		return function (e) {
			e.preventDefault();
			for (const t of e.changedTouches) {
				queueTouch(kind, t.identifier, Math.round(t.clientX), Math.round(t.clientY));
			}
		};
	}
	canvas.addEventListener("touchstart", fingers("down"), {passive: false});
	canvas.addEventListener("touchmove", fingers("move"), {passive: false});
	canvas.addEventListener("touchend", fingers("up"));
	// a finger the browser takes away (a gesture of the system's) lets go of the stick too
	canvas.addEventListener("touchcancel", fingers("up"));

	// The buttons of a touch screen: pause and mute press their keys for the game, the third
	// is the page's Full screen button.
	const buttons = document.getElementById("buttons");
	buttons.hidden = !page.touch;
	for (const button of buttons.querySelectorAll("[data-key]")) {
		button.addEventListener("pointerdown", function (e) {
			e.preventDefault();
			queueTouch("press", button.dataset.key.charCodeAt(0), 0, 0);
		});
	}
	const fullScreen = document.getElementById("fullscreen");
	fullScreen.hidden = !page.canFullScreen;
	fullScreen.addEventListener("click", function () {
		page.toggleFullScreen();
		fullScreen.blur();
	});

	// Crisp while each pixel of the game is at least a pixel of the screen, smooth where the
	// picture is shrunk; the page sizes the frame, and a turned phone or a resized window
	// re-fits it without restarting the game.
	function pickRendering() {
		const shown = canvas.getBoundingClientRect().width * window.devicePixelRatio;
		canvas.classList.toggle("shrunk", shown < canvas.width);
	}
	window.addEventListener("resize", pickRendering);
	pickRendering();

	document.addEventListener("dragover", function (e) { e.preventDefault(); });
	document.addEventListener("drop", function (e) {
		e.preventDefault();
		page.drop(e.dataTransfer.files);
	});
})();
