// The game's frame: where the game's output goes, the designer's files it plays, and how the
// page (page.js) learns that the game has ended. Loaded before vorska.js, which reads Module.
"use strict";
(function () {
	const page = window.parent.vorskaPage;

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

	window.Module = {
		canvas: document.getElementById("canvas"),
		print: function (text) { console.log(text); },
		printErr: function (text) {
			if (!layerRemarks.includes(text)) {
				console.warn(text);
			}
		},
		// the game's own files are in place now; the designer's go over them, then the game starts
		onRuntimeInitialized: function () {
			putLevel().then(function () { Module.callMain([]); }, function (why) { page.say(String(why), true); });
		},
		// the page tells the statuses apart by the names the game gives them (exitStatuses)
		onExit: function (code) { page.ended(code, Module.exitStatuses); },
		onAbort: function (what) { page.say("The game stopped: " + what, true); },
	};

	document.addEventListener("dragover", function (e) { e.preventDefault(); });
	document.addEventListener("drop", function (e) {
		e.preventDefault();
		page.drop(e.dataTransfer.files);
	});
})();
