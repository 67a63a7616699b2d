#include "window_options.h"

#include <strings.h>
#include <sys/stat.h>

#include "engine/opti_models.h"

namespace brantle::gui {
namespace {

const char* const kFamilies[] = {"E700", "E800", "E330", "S500", "Opti"};

bool SameText(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// Qt's own options, with a value and without.
const char* const kQtValueOptions[] = {"platform",        "platformpluginpath",
                                       "platformtheme",   "plugin",
                                       "qwindowgeometry", "geometry",
                                       "qwindowicon",     "icon",
                                       "qwindowtitle",    "title",
                                       "display",         "name",
                                       "session",         "style",
                                       "stylesheet",      "qmljsdebugger"};
const char* const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

template <size_t N>
bool Among(const std::string& name, const char* const (&names)[N]) {
  for (const char* n : names)
    if (name == n) return true;
  return false;
}

}  // namespace

std::vector<std::string> OwnArguments(int argc, char** argv) {
  std::vector<std::string> own;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.size() < 2 || a[0] != '-' || a[1] == '-') {
      own.push_back(a);
      continue;
    }
    const size_t equals = a.find('=');
    const std::string name =
        a.substr(1, equals == std::string::npos ? std::string::npos : equals - 1);
    if (Among(name, kQtValueOptions)) {
      if (equals == std::string::npos) ++i;  // its value follows
    } else if (!Among(name, kQtFlags)) {
      own.push_back(a);
    }
  }
  return own;
}

int WindowOptions::FamilyIndex() const {
  if (Simulate.empty()) return -1;
  for (int i = 0; i < 4; ++i)
    if (Simulate == kFamilies[i]) return i;
  int type = 0;
  OptiModelByName(Model, &type);
  return 4 + type;
}

bool ParseWindowOptions(const std::vector<std::string>& args, WindowOptions& o,
                        std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a != "--simulate" && a != "--model" && a != "--port" && a != "--trace")
      return error = "unknown option " + a, false;
    if (i + 1 >= args.size()) return error = a + " needs a value", false;
    const std::string& value = args[++i];
    if (a == "--simulate") {
      o.Simulate.clear();
      for (const char* family : kFamilies)
        if (SameText(value, family)) o.Simulate = family;
      if (o.Simulate.empty()) return error = "unknown family for --simulate: " + value, false;
    } else if (a == "--model") {
      int type = 0;
      const OptiModel& model = OptiModelByName(value, &type);
      if (!SameText(model.name, value)) return error = "unknown model " + value, false;
      o.Model = model.name;
    } else if (a == "--port") {
      o.Ports.push_back(value);
    } else {
      o.Trace = value;
    }
  }
  if (!o.Model.empty() && o.Simulate != "Opti")
    return error = "--model goes with --simulate Opti", false;
  // The window has nobody to ask whether a file may be replaced: a trace named after
  // a backup must not destroy it.
  struct stat st {};
  if (!o.Trace.empty() && stat(o.Trace.c_str(), &st) == 0)
    return error = "--trace " + o.Trace + ": the file exists; name a new one", false;
  return true;
}

const char* WindowUsageText() {
  return "Usage: brantle [--simulate FAMILY [--model NAME]] [--port PATH]... [--trace FILE]\n"
         "\n"
         "The window of Brantle, the service tool for Samsung SGH phones in boot mode: it\n"
         "waits for a phone on the serial port chosen on its Settings page, connects by\n"
         "itself, and dumps, flashes and erases the phone's memory.\n"
         "\n"
         "  --simulate FAMILY  start a virtual phone (E700, E800, E330, S500 or Opti) for this\n"
         "                     run, list its port and select it\n"
         "  --model NAME       with --simulate Opti: the OptiFlash model (e.g. X480)\n"
         "  --port PATH        list a serial port the system does not enumerate\n"
         "  --trace FILE       write every byte sent and received to FILE (a new file)\n"
         "  --help             this text\n"
         "  --version          the program's version\n"
         "\n"
         "Qt's own options (-platform offscreen, ...) are taken as well. Settings are kept\n"
         "in brntl.ini beside the program for a copy in a folder you may write, else in\n"
         "$XDG_CONFIG_HOME/brantle (~/.config/brantle).\n";
}

}  // namespace brantle::gui
