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

// A conversion aimed at a size. The flags follow the as-written marker among the job's options;
// the adapter takes them out before ffmpeg sees the line.
//
// Runs the encoder twice: a first pass that only analyses (to the null device, its statistics in
// a private folder) and the real one into the temporary file. For x264 and x265.
inline constexpr char TwoPassFlag[] = "--two-pass";
// "--fit-size=TARGET:SOUND", in bytes: a result that misses TARGET by more than FitTolerance is
// encoded again (up to three times) with the video bit rate (-b:v) corrected by what came out; SOUND is
// what the sound takes of the whole, which the correction leaves out.
inline constexpr char FitSizePrefix[] = "--fit-size=";
// The share a result may lie above or below its target.
inline constexpr double FitTolerance = 0.03;
// What the program and a correction aim at, under the target, so that the result lands inside.
inline constexpr double FitAim = 0.985;

} // namespace Protocol
