// The interface file, MainWindow.json in the bundle: the window and every view the delegate is
// connected to. Loading it builds the views; checking it says what the game would miss.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

inline constexpr const char* kInterfaceFile = "MainWindow.json";

// What is wrong with the interface file of the bundle at `folder`, one sentence a fault: it
// must parse; have a window; give every view a unique name, a known class and a four-number
// frame; name every view the delegate uses; have every image it names in the bundle; and give
// the buttons the tags 1 to 13, each once. Empty when the file is sound.
std::vector<std::string> checkInterfaceFile(const std::filesystem::path& folder);

class SaltmereAppDelegate;

// Builds the window and its views from the file, bottom to top, and connects each to the
// delegate member of its name; every button sends the delegate's `buttonPressed`. False, with a
// warning, when the file cannot be read: the delegate then has no window.
bool loadInterfaceFile(const std::filesystem::path& folder, SaltmereAppDelegate& delegate);
