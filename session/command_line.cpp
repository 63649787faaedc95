// Parsing of the options; anything unknown or malformed is an error the caller reports.
#include "session/command_line.h"

std::string usage() {
  return "Usage: tidewick [OPTION]...\n"
         "  or:  tidewick replay SCRIPT.json [--dump OUT.jsonl] [--screenshot T:FILE.png]...\n"
         "  or:  tidewick watch SCRIPT.json|LINK [--scale N]\n"
         "  or:  tidewick soak [--seeds N] [--first-seed S] [--minutes M]\n"
         "\n"
         "Steer Nerin the crab along the beach, catch the trash that sinks towards her six\n"
         "babies and fling it back.\n"
         "\n"
         "Options:\n"
         "  --help           show this text and the controls\n"
         "  --version        show the version\n"
         "  --scale N        window pixels per screen point, 1 to 8 (default 2: 960 x 640)\n"
         "  --fullscreen     start in fullscreen\n"
         "  --headless       run without a window (offscreen GL)\n"
         "  --frames MODE    smooth (default: pictures at the screen's refresh rate) or\n"
         "                   classic (one picture a game frame, 20 a second)\n"
         "  --seed N         seed the game's random choices (default: from the clock)\n"
         "  --defaults PATH  keep settings and records in PATH instead of\n"
         "                   $XDG_CONFIG_HOME/tidewick/defaults.json\n"
         "  --record FILE    write the session to FILE as a replay script as it is played\n"
         "                   (without it, the last game is kept in\n"
         "                   $XDG_STATE_HOME/tidewick/last-game.json)\n"
         "  --dump FILE      write the session's frames to FILE as a replay's --dump does\n"
         "\n"
         "Controls:\n"
         "  steer            tilt a controller with a motion sensor, its left stick,\n"
         "                   Left/A and Right/D (Down/S levels), or the mouse pointer\n"
         "  throw / tap      left mouse button or a finger: press, move, release;\n"
         "                   Space or Enter (with Left or Right held, throws that way);\n"
         "                   controller A\n"
         "  pause / resume   double-tap the button in the top-left corner, or Escape or P\n"
         "  menus            click a button, or Up/Down and Enter (d-pad and A)\n"
         "  fullscreen       F11 or Alt+Enter\n"
         "Keys and pad buttons can be rebound in controls.json beside the settings file.\n";
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!line.command.empty() || argument.empty() || argument[0] != '-') {
      line.command.push_back(argument);
      continue;
    }
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= arguments.size()) return std::nullopt;
      return arguments[++i];
    };
    if (argument == "--help" || argument == "-h") {
      line.help = true;
    } else if (argument == "--version") {
      line.version = true;
    } else if (argument == "--fullscreen") {
      line.fullscreen = true;
    } else if (argument == "--headless") {
      line.headless = true;
    } else if (argument == "--frames") {
      auto mode = value();
      if (!mode || (*mode != "smooth" && *mode != "classic"))
        return {{}, "--frames takes smooth or classic"};
      line.classicFrames = *mode == "classic";
    } else if (argument == "--scale") {
      auto text = value();
      auto scale = text ? parseNumber<int>(*text) : std::nullopt;
      if (!scale || *scale < 1 || *scale > 8)
        return {{}, "--scale takes a whole number from 1 to 8"};
      line.scale = *scale;
    } else if (argument == "--seed") {
      auto text = value();
      auto seed = text ? parseNumber<uint32_t>(*text) : std::nullopt;
      if (!seed) return {{}, "--seed takes a whole number from 0 to 4294967295"};
      line.seed = *seed;
    } else if (argument == "--defaults" || argument == "--record" || argument == "--dump") {
      auto path = value();
      if (!path || path->empty()) return {{}, argument + " takes a file path"};
      (argument == "--defaults" ? line.defaults
       : argument == "--record" ? line.record
                                : line.dump) = *path;
    } else {
      return {{}, "unknown option " + argument};
    }
  }
  return {line, ""};
}
