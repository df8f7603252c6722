// The runs in the browser: a finished game's run goes to the page, which offers it for
// download; nothing is kept in the browser itself.
#include <emscripten.h>
#include "platform/runstore.h"

// Hands the run's bytes to the page, under the name it is to be saved as.
EM_JS(void, webOfferRun, (const char *name, const char *bytes, int size), {
	if (Module.runRecorded) {
		Module.runRecorded(UTF8ToString(name), HEAPU8.slice(bytes, bytes + size));
	}
});

// The page is always there to take a run.
std::string prepareRunStore() {
	return "";
}

// Offers the run to the page; what the page calls it.
std::string keepRun(const std::string &bytes, std::string &why) {
	(void)why;
	std::string name = runStamp() + RUN_SUFFIX;
	webOfferRun(name.c_str(), bytes.data(), (int)bytes.size());
	return name + " (the page's Save this run)";
}
