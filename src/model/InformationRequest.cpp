#include "model/InformationRequest.h"

#include "platform/ProgramPaths.h"

namespace {
// "{name}" stands for the name the program was started under.
constexpr std::string_view kHelp = R"(Usage: {name} [-PC|-GPS|-NO] [-SILENT] [-!PR] [--headless]
       {name} --help | --version

The program of the ORB weather stations: connects to the station over a serial
port, TCP/IP or a modem, stores its records in monthly data files, shows them
in diagrams and publishes them.

Station switches (upper or lower case; quote -!PR in an interactive shell):
  -PC           first argument: the PC sets the station's clock (the default)
  -GPS          first argument: the station sets the PC's clock
  -NO           first argument: only warn when the clocks differ
  -SILENT       end the program after the first initialisation
  -!PR          no automatic precipitation-reset commands ("!R", "!P")

Options:
  --headless    run the stations of the saved layout without any window, as a
                service: messages go to standard error and ErrLog.txt;
                SIGTERM or SIGINT stop it
  -h, --help    show this help and end
  --version     show the version and end

Files:
  The settings files are named after the program, here "{name}":
  {name}station.ini, {name}define.ini, {name}intern.ini,
  {name}unit.ini, {name}process.ini and {name}TermBefehl.ini.
  The shared files (ErrLog.txt, multi.ini, awekas.ini, http_up.ini, HTML.ini)
  and the data folder Daten lie beside them. That folder is
    $WETTER_HOME            when it is set,
    the program's folder    when you may write there (a build folder, a copy),
    $XDG_DATA_HOME/wetter   otherwise, that is for an installed program
                            (~/.local/share/wetter, created at the first start).
  A symbolic link to the program under a second name is a second station with
  settings files of its own.

See wetter(1).
)";

std::string WithName(std::string_view text, const std::string& name) {
    constexpr std::string_view kPlaceholder = "{name}";
    std::string result;
    for (std::size_t at = text.find(kPlaceholder); at != std::string_view::npos;
         at = text.find(kPlaceholder)) {
        result.append(text.substr(0, at)).append(name);
        text.remove_prefix(at + kPlaceholder.size());
    }
    return result.append(text);
}
}  // namespace

InformationRequest FindInformationRequest(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") return InformationRequest::kHelp;
        if (argument == "--version") return InformationRequest::kVersion;
    }
    return InformationRequest::kNone;
}

std::string VersionText() { return "wetter " WETTER_VERSION "\n"; }

std::string HelpText(std::string_view invokedAs) {
    std::string name = ProgramPaths(std::string(invokedAs)).ProgramName();
    if (name.empty()) name = "wetter";
    return WithName(kHelp, name);
}
