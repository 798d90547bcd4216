#pragma once

// What crosses between the program and the encoder adapter, in one place both include. Plain
// C++: the adapter links no Qt.
namespace Protocol {

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
