// Where this build keeps what the tests and benchmarks read and run. Each program defines the ones
// it names from its CMake (tidewick_build_paths), in a source of their own, so that its own code
// compiles to the same object in every checkout.
#pragma once

namespace build_paths {
extern const char* const kBundle;             // the built bundle: art, sounds, interface file
extern const char* const kTestData;           // tests/data
extern const char* const kGame;               // the game's executable
extern const char* const kArt;                // the art's SVG sources
extern const char* const kSoundgen;           // the sound generator
extern const char* const kRsvgConvert;        // the SVG renderer the bundle is built with
extern const char* const kAssetsTool;         // the asset inspector
extern const char* const kScreenshotScripts;  // the screenshots' replay scripts
}  // namespace build_paths
