#pragma once

// What crosses between the program and its encoder adapter: the adapter's name, the flags the
// job writes on its command line, and the lines the adapter prints that the program reads back.
// Both sides include this one header; it needs neither Qt nor anything else of ours.
namespace Protocol {

// The adapter's file name, beside the program.
inline constexpr const char *AdapterName = "avformat.dll";

// First on a command line whose options reach ffmpeg exactly as written (today's presets and the
// user's); without it the adapter translates the classic presets' old syntax.
inline constexpr const char *AsWritten = "--as-written";
// In a preset's arguments: the adapter adds the subtitle conversions Matroska needs.
inline constexpr const char *FitMatroska = "--fit-matroska";
// Ahead of a block of the conversion's options: "--options N" and N arguments.
inline constexpr const char *Options = "--options";
// "--span SECONDS": how long the converted part of the source lasts, for the check of the
// finished file. Without it the adapter measures the source's converted streams itself; a
// program that converts only part of the source (a start, an end) says how long that part is.
inline constexpr const char *Span = "--span";

// Every line the adapter writes of its own starts so, to tell it from ffmpeg's.
inline constexpr const char *OutputPrefix = "avformat.dll: ";
// The adapter's notes about what it changed end in "; using ...", "; adding ...", ...: never a
// reason for a failure.
inline constexpr const char *NoteActions[] = {"using", "adding", "dropping", "converting", "leaving out"};

// Fixed reasons, the same whichever side finds them.
inline constexpr const char *NoSoundTrack = "the source has no sound track";
inline constexpr const char *NoPictureNoSound = "the source has no picture and no sound";

// The adapter's line after a finished run whose result is shorter than the source says it is:
// "avformat.dll: the source ended early, at 0:00.83 of 0:02.00". What follows the prefix is a
// warning for the user; the run has finished.
inline constexpr const char *EndedEarly = "the source ended early, at ";

} // namespace Protocol
