// q19: renders audio files through the ZORV Q19 plug-in, as a VST 2.4 host does.
#include "Commands.h"
#include "Failure.h"

#include <cstdio>
#include <cstring>

const char* const kUsage =
    "usage:\n"
    "  q19 render IN OUT [--voicing lum|dar] [--plugin PATH] [--set NAME=VALUE]...\n"
    "                    [--preset FILE.fxp|FILE.fxb] [--stereo] [--block N] [--double]\n"
    "                    [--format float|pcm24|pcm16] [--quiet]\n"
    "      Renders IN (WAV, FLAC, AIFF or Ogg Vorbis; mono or stereo, 8000 to 384000 Hz)\n"
    "      into OUT, two channels at the input's rate; the type follows OUT's extension.\n"
    "      Parameters are named in any case (\"drive\", \"gain lo/hi\") with plain values in\n"
    "      their own range, or on/off for the switches. --stereo turns the \"Stereo\" switch\n"
    "      on; without it a stereo file's right channel is ignored by the mono amp.\n"
    "      --block N sets the block size (1 to 8192, default 512).\n"
    "  q19 demo [--out DIR]\n"
    "      Synthesises a DI guitar riff and renders it through both voicings at Lo and Hi\n"
    "      gain; writes WAV files and PNG pictures into DIR (default ./demo-out).\n"
    "  q19 info [--voicing lum|dar] [--plugin PATH]\n"
    "      What a host's plug-in scanner sees.\n"
    "  q19 tables --voicing lum|dar [--plot FILE.png]\n"
    "      The voicing's four triode transfer tables as CSV, or drawn as curves.\n"
    "  q19 preset save OUT.fxp [--voicing lum|dar] [--plugin PATH] [--set NAME=VALUE]...\n"
    "      Writes a standard program file of the settings.\n"
    "\n"
    "exit codes:\n"
    "  0 success\n"
    "  2 bad command line (unknown command or option, missing or malformed argument)\n"
    "  3 input audio file missing, unreadable, unsupported or outside the limits\n"
    "  4 output cannot be written, or its type cannot hold the audio\n"
    "  5 plug-in binary cannot be loaded or is not a usable VST 2 plug-in\n"
    "  6 unknown parameter name or value outside the parameter's range\n"
    "  7 preset file unreadable, damaged or made for another plug-in\n";

int main(int argc, char** argv) {
  Arguments args(argv + 1, argv + argc);
  try {
    if (args.empty()) Fail(kExitUsage, "no command given (try q19 --help)");
    std::string command = args[0];
    Arguments rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
      std::fputs(kUsage, stdout);
      return kExitOk;
    }
    if (command == "render") return RunRender(rest);
    if (command == "demo") return RunDemo(rest);
    if (command == "info") return RunInfo(rest);
    if (command == "tables") return RunTables(rest);
    if (command == "preset") {
      if (rest.empty() || rest[0] != "save") Fail(kExitUsage, "preset: expected 'preset save OUT.fxp'");
      return RunPresetSave(Arguments(rest.begin() + 1, rest.end()));
    }
    Fail(kExitUsage, "unknown command '" + command + "' (try q19 --help)");
  } catch (const Failure& failure) {
    std::fprintf(stderr, "q19: %s\n", failure.message.c_str());
    return failure.code;
  }
}
