// The one road by which the game's messages leave: the video-mode report, what the reader and
// the entity runtime say, the start-up failures. Each message goes to standard output or
// standard error as a console program's would, unless a tool or a test has set a sink of its
// own. The diagnostic dumps are output, not messages, and are written directly.
#ifndef PLATFORM_MESSAGE_H
#define PLATFORM_MESSAGE_H

#include <string>

// The stream a message is meant for.
enum MessageStream { MESSAGE_OUT, MESSAGE_ERR };

// Receives each message, line ends included, with the stream it is meant for.
typedef void (*MessageSink)(MessageStream to, const std::string &text);

// The game's exit statuses: the end of play, and the start-up failures nothing can work around.
#define EXIT_PLAYED    0     // the game ran until a quit or its end
#define EXIT_NO_VIDEO  (-1)  // the video could not be set up
#define EXIT_NO_PLAYER 1     // the player entity could not be created

// Sends every message to sink from now on (nullptr: the standard streams); returns the sink
// that was set before, so that a caller can put it back.
MessageSink setMessageSink(MessageSink sink);

// A sink that keeps nothing, for a tool that tells the user in its own words.
void discardMessage(MessageStream to, const std::string &text);

// Writes text, which carries its own line end, to the stream it is meant for.
void writeMessage(MessageStream to, const std::string &text);

// Writes a message formatted as printf formats it.
void writeMessagef(MessageStream to, const char *format, ...) __attribute__((format(printf, 2, 3)));

// " (why)" after a message when there is a reason, "" when there is none.
std::string reasonSuffix(const std::string &why);

// Makes both standard streams send each line as soon as it ends, into a pipe or a file too,
// where the C library would hold standard output until its buffer fills or the program ends.
// Called before anything is written.
void lineBufferStreams();

// Ends the process after a start-up failure whose message has been written.
[[noreturn]] void failStartup(int status);

#endif
