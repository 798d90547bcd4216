#pragma once

// What crosses between the program and the encoder adapter "avformat.dll": the flags the program
// puts before the encoder's own arguments and the lines the adapter writes for the program to
// read. Plain C++ without Qt, since both programs include it.

namespace Protocol {

// Put first by the job on a line in today's syntax: passed on as written, not translated.
inline constexpr const char *AsWritten = "--as-written";

// "--span SECONDS": how long the converted part of the source lasts, for the check of the
// finished file. Without it the adapter measures the source's converted streams itself; a
// program that converts only part of the source (a start, an end) says how long that part is.
inline constexpr const char *Span = "--span";

// The adapter's own lines start so, which sets them apart from the encoder's.
inline constexpr const char *LinePrefix = "avformat.dll: ";

// The adapter's line after a finished run whose result is shorter than the source says it is:
// "avformat.dll: the source ended early, at 0:00.83 of 0:02.00". What follows the prefix is a
// warning for the user; the run has finished.
inline constexpr const char *EndedEarly = "the source ended early, at ";

} // namespace Protocol
