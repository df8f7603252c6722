// The message road and its default end, the two standard streams.
#include "platform/message.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

// Writes to the process's own streams; the C++ streams share the C ones, so messages and the
// dumps keep their order.
static void standardSink(MessageStream to, const std::string &text) {
	FILE *stream = to == MESSAGE_OUT ? stdout : stderr;
	fwrite(text.data(), 1, text.size(), stream);
}

static MessageSink sink = standardSink;

// Sends every message to s from now on; returns the sink set before.
MessageSink setMessageSink(MessageSink s) {
	MessageSink before = sink;
	sink = s != nullptr ? s : standardSink;
	return before;
}

// Keeps nothing.
void discardMessage(MessageStream to, const std::string &text) {
	(void)to;
	(void)text;
}

// Hands text to the sink.
void writeMessage(MessageStream to, const std::string &text) {
	sink(to, text);
}

// Formats into a string of the right size, then writes it.
void writeMessagef(MessageStream to, const char *format, ...) {
	va_list args;
	va_start(args, format);
	va_list copy;
	va_copy(copy, args);
	int n = vsnprintf(nullptr, 0, format, copy);
	va_end(copy);
	std::string text;
	if (n > 0) {
		std::vector<char> buf((size_t)n + 1);
		vsnprintf(buf.data(), buf.size(), format, args);
		text.assign(buf.data(), (size_t)n);
	}
	va_end(args);
	writeMessage(to, text);
}

// Puts a reason in brackets behind a message.
std::string reasonSuffix(const std::string &why) {
	return why.empty() ? std::string() : " (" + why + ")";
}

// Line by line, so that `vorska | tee log` shows the report and the dumps as they come.
void lineBufferStreams() {
	setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
	setvbuf(stderr, nullptr, _IOLBF, BUFSIZ);
}

// Flushes what the streams hold, then ends the process with status.
void failStartup(int status) {
	std::cout.flush();
	fflush(nullptr);
	exit(status);
}
