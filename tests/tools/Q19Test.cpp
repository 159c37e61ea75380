// The q19 command-line host, run as a process on generated files.
#include "Q19Process.h"
#include "TestHost.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdint>
#include <cstring>
#include <fstream>

namespace {

constexpr int kRate = 44100;

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

void PutInt(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (24 - 8 * i));
}

class Q19Render : public ::testing::Test {
protected:
  ScratchDir dir;
  std::string In() const { return dir.Path("in.wav"); }
  std::string Out(const std::string& name = "out.wav") const { return dir.Path(name); }

  std::vector<float> Render(const std::string& options, const std::string& name = "out.wav") {
    ProcessResult r = RunQ19("render " + In() + " " + Out(name) + " --quiet " + options);
    EXPECT_EQ(r.exitCode, 0) << "render " << options << " failed: " << r.err;
    int rate = 0, channels = 0;
    std::vector<float> samples;
    EXPECT_TRUE(ReadAudio(Out(name), rate, channels, samples)) << "no readable output " << name;
    EXPECT_EQ(rate, kRate) << "output keeps the input's rate";
    EXPECT_EQ(channels, 2) << "output is always stereo";
    return samples;
  }
};

TEST_F(Q19Render, PresetAndSetReachThePlugin) {
  WriteWav(In(), kRate, 1, PluckedTone(kRate, 0.5, 0.3, 1));
  std::vector<float> plain = Render("", "plain.wav");
  std::vector<float> set = Render("--set drive=0.8 --set TRAFO=on --set \"gain lo/hi=off\"", "set.wav");
  EXPECT_NE(plain, set) << "--set changes the sound";

  ProcessResult saved = RunQ19("preset save " + dir.Path("p.fxp") +
                               " --set drive=0.8 --set TRAFO=on --set \"gain lo/hi=off\"");
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  std::vector<float> preset = Render("--preset " + dir.Path("p.fxp"), "preset.wav");
  EXPECT_EQ(preset, set) << "a saved program reproduces the settings it was saved with";

  // The same program inside a version-2 bank file.
  std::string programText = ReadFile(dir.Path("p.fxp"));
  std::vector<uint8_t> program(programText.begin(), programText.end());
  std::vector<uint8_t> bank(32 + 124, 0);
  std::memcpy(bank.data(), "CcnK", 4);
  std::memcpy(bank.data() + 8, "FxBk", 4);
  PutInt(bank, 12, 2);
  std::copy(program.begin() + 16, program.begin() + 24, bank.begin() + 16);  // fxID, fxVersion
  PutInt(bank, 24, 1);  // one program, the current one 0
  bank.insert(bank.end(), program.begin(), program.end());
  PutInt(bank, 4, uint32_t(bank.size() - 8));
  WriteBytes(dir.Path("b.fxb"), bank);
  EXPECT_EQ(Render("--preset " + dir.Path("b.fxb"), "bank.wav"), set) << "a bank's program applies too";
}

// q19 is an ordinary host: what it writes is exactly what another host gets from the plug-in
// with the same rate, block size and parameter values.
TEST_F(Q19Render, OutputMatchesTheTestHostSampleForSample) {
  constexpr int kBlock = 256;
  std::vector<float> tone = PluckedTone(kRate, 1.0, 0.4, 2);
  WriteWav(In(), kRate, 2, tone);
  std::vector<float> rendered = Render("--block 256 --stereo --set drive=0.8 --set trafo=on");

  TestHost host;
  std::string error;
  ASSERT_TRUE(host.Load(std::string(ZORV_PLUGIN_DIR) + "/ZORV_Q19_1.6_Lum.so", error)) << error;
  ASSERT_NE(host.Create(), nullptr) << "the plug-in creates an instance";
  host.Dispatch(effOpen);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, float(kRate));
  host.Dispatch(effSetBlockSize, 0, kBlock);
  host.SetParameter(1, float((0.8 - 0.1) / (1.0 - 0.1)));  // "Drive" runs from 0.1 to 1
  host.SetParameter(9, 1.0f);                                // "Trafo"
  host.SetParameter(10, 1.0f);                               // "Stereo"
  host.Dispatch(effMainsChanged, 0, 1);
  const size_t frames = tone.size() / 2;
  ASSERT_EQ(rendered.size(), frames * 2) << "q19 rendered every frame";
  size_t mismatches = 0;
  for (size_t at = 0; at < frames; at += kBlock) {
    size_t n = std::min<size_t>(kBlock, frames - at);
    TestHost::FloatBuffers in(2, std::vector<float>(n)), out(2, std::vector<float>(n));
    for (size_t k = 0; k < n; ++k) {
      in[0][k] = tone[2 * (at + k)];
      in[1][k] = tone[2 * (at + k) + 1];
    }
    host.ProcessReplacing(in, out, VstInt32(n));
    for (size_t k = 0; k < n; ++k) {
      mismatches += out[0][k] != rendered[2 * (at + k)];
      mismatches += out[1][k] != rendered[2 * (at + k) + 1];
    }
  }
  EXPECT_EQ(mismatches, 0u) << "q19's file differs from the plug-in's own output";
}

TEST_F(Q19Render, DoublePrecisionPathMatchesFloatPath) {
  WriteWav(In(), kRate, 1, PluckedTone(kRate, 0.3, 0.5, 1));
  EXPECT_EQ(Render("--double", "d.wav"), Render("", "f.wav"))
      << "both paths widen the same floats and narrow the same doubles";
}

TEST_F(Q19Render, StereoSwitchDecidesWhetherTheRightChannelIsHeard) {
  WriteWav(In(), kRate, 2, PluckedTone(kRate, 0.3, 0.3, 2));
  std::vector<float> mono = Render("", "mono.wav");
  std::vector<float> stereo = Render("--stereo", "stereo.wav");
  bool monoSame = true, stereoSame = true;
  for (size_t i = 0; i + 1 < mono.size(); i += 2) monoSame &= mono[i] == mono[i + 1];
  for (size_t i = 0; i + 1 < stereo.size(); i += 2) stereoSame &= stereo[i] == stereo[i + 1];
  EXPECT_TRUE(monoSame) << "without --stereo the left amp feeds both outputs";
  EXPECT_FALSE(stereoSame) << "with --stereo the quieter right input gets its own amp";
}

TEST_F(Q19Render, EmptyInputGivesEmptyOutput) {
  WriteWav(In(), kRate, 1, {});
  EXPECT_TRUE(Render("").empty()) << "an empty file renders to an empty file";
}

TEST_F(Q19Render, OtherOutputTypesFollowTheExtension) {
  WriteWav(In(), kRate, 1, PluckedTone(kRate, 0.2, 0.3, 1));
  for (const char* name : {"o.flac", "o.aiff", "o.ogg", "o16.wav"}) {
    std::string format = std::strcmp(name, "o16.wav") == 0 ? "--format pcm16" : "";
    EXPECT_EQ(Render(format, name).size(), size_t(0.2 * kRate) * 2) << name;
  }
}

struct BadInputCase {
  const char* what;
  const char* setup;  // which fixture the input file is
  const char* args;   // after "render IN OUT", or a whole command when it starts with '!'
  int exitCode;
  const char* message;
};

const BadInputCase kBadInputs[] = {
    {"missing input", "none", "", 3, "in.wav: no such file"},
    {"not audio", "garbage", "", 3, "in.wav: not a readable audio file"},
    {"rate too low", "rate7000", "", 3, "sample rate 7000 Hz is outside 8000 to 384000 Hz"},
    {"rate too high", "rate400000", "", 3, "sample rate 400000 Hz"},
    {"three channels", "channels3", "", 3, "3 channels"},
    {"unknown parameter", "good", "--set fuzz=1", 6, "unknown parameter \"fuzz\"; valid names: \"Input\", \"Drive\""},
    {"value above range", "good", "--set drive=2", 6, "parameter \"Drive\": 2 is outside its range 0.1 to 1"},
    {"value below range", "good", "--set bass=-0.5", 6, "parameter \"Bass\": -0.5 is outside its range"},
    {"not a number", "good", "--set drive=loud", 6, "\"loud\" is not a number"},
    {"switch value", "good", "--set stereo=maybe", 6, "\"maybe\" is not on or off"},
    {"malformed set", "good", "--set drive", 2, "expected NAME=VALUE"},
    {"block zero", "good", "--block 0", 2, "--block '0': expected a whole number from 1 to 8192"},
    {"block too big", "good", "--block 9000", 2, "from 1 to 8192"},
    {"unknown option", "good", "--loud", 2, "unknown option '--loud'"},
    {"bad format", "good", "--format mp3", 2, "--format 'mp3'"},
    {"bad voicing", "good", "--voicing bright", 2, "expected lum or dar"},
    {"missing plugin", "good", "--plugin /nonexistent/plugin.so", 5, "/nonexistent/plugin.so: cannot load plug-in"},
    {"not a plugin", "good", "--plugin /lib/x86_64-linux-gnu/libz.so.1", 5, "not a VST 2 plug-in"},
    {"preset of another plug-in", "good", "--preset @other.fxp", 7, "preset of another plug-in ('Abcd', this one is 'Vq7L')"},
    {"truncated preset", "good", "--preset @short.fxp", 7, "damaged preset file"},
    {"preset value out of range", "good", "--preset @nan.fxp", 7, "not within 0 to 1"},
    {"missing preset", "good", "--preset @none.fxp", 7, "cannot open preset file"},
};

class Q19BadInput : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(Q19BadInput, FailsWithOneClearLineAndLeavesNoOutput) {
  const BadInputCase& c = GetParam();
  ScratchDir dir;
  std::string in = dir.Path("in.wav");
  std::string setup = c.setup;
  if (setup == "good") WriteWav(in, kRate, 1, PluckedTone(kRate, 0.1, 0.3, 1));
  if (setup == "garbage") WriteBytes(in, Bytes("RIFF this is not audio at all"));
  if (setup == "rate7000") WriteWav(in, 7000, 1, PluckedTone(7000, 0.1, 0.3, 1));
  if (setup == "rate400000") WriteWav(in, 400000, 1, PluckedTone(400000, 0.01, 0.3, 1));
  if (setup == "channels3") WriteWav(in, kRate, 3, std::vector<float>(300, 0.1f));

  // Presets: a valid program of this plug-in, then spoiled copies of it.
  ASSERT_EQ(RunQ19("preset save " + dir.Path("good.fxp")).exitCode, 0);
  std::string goodText = ReadFile(dir.Path("good.fxp"));
  std::vector<uint8_t> good(goodText.begin(), goodText.end());
  ASSERT_GT(good.size(), 60u);
  std::vector<uint8_t> other = good;
  PutInt(other, 16, 0x41626364);  // 'Abcd'
  WriteBytes(dir.Path("other.fxp"), other);
  WriteBytes(dir.Path("short.fxp"), std::vector<uint8_t>(good.begin(), good.begin() + 40));
  std::vector<uint8_t> nan = good;
  PutInt(nan, 60, 0x7FC00000);
  WriteBytes(dir.Path("nan.fxp"), nan);

  std::string args = c.args;
  for (size_t at; (at = args.find('@')) != std::string::npos;) args.replace(at, 1, dir.Path(""));
  ProcessResult r = RunQ19("render " + in + " " + dir.Path("out.wav") + " " + args);
  EXPECT_EQ(r.exitCode, c.exitCode) << c.what << ": " << r.err;
  EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": stderr was " << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.what << ": one line: " << r.err;
  for (const std::string& name : dir.Files()) {
    EXPECT_EQ(name.find("out.wav"), std::string::npos) << c.what << " left " << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Q19BadInput, ::testing::ValuesIn(kBadInputs),
                         [](const ::testing::TestParamInfo<BadInputCase>& info) {
                           std::string name = info.param.what;
                           for (char& ch : name) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(Q19Output, UnwritablePathsFailWithoutLeavingFiles) {
  ScratchDir dir;
  WriteWav(dir.Path("in.wav"), kRate, 1, PluckedTone(kRate, 0.1, 0.3, 1));
  const struct { const char* out; const char* args; const char* message; } cases[] = {
      {"/nonexistent-dir/out.wav", "", "/nonexistent-dir/out.wav: cannot be written"},
      {"@out.mp3", "", "unsupported output type '.mp3'"},
      {"@out.flac", "--format float", "FLAC cannot hold float samples"},
  };
  for (const auto& c : cases) {
    std::string out = c.out[0] == '@' ? dir.Path(c.out + 1) : c.out;
    ProcessResult r = RunQ19("render " + dir.Path("in.wav") + " " + out + " " + c.args);
    EXPECT_EQ(r.exitCode, 4) << c.out << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.out << ": " << r.err;
  }
  EXPECT_EQ(dir.Files().size(), 1u) << "only the input remains";
}

TEST(Q19Commands, UsageErrorsAndHelp) {
  ProcessResult help = RunQ19("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("exit codes:"), std::string::npos) << "--help documents exit codes";
  EXPECT_EQ(RunQ19("").exitCode, 2) << "no command";
  EXPECT_EQ(RunQ19("mix a b").exitCode, 2) << "unknown command";
  EXPECT_EQ(RunQ19("render onlyone.wav").exitCode, 2) << "missing OUT";
  EXPECT_EQ(RunQ19("tables").exitCode, 2) << "tables needs a voicing";
}

TEST(Q19Commands, InfoShowsWhatAScannerSees) {
  ProcessResult r = RunQ19("info --voicing dar");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const char* text : {"ZORV Q19 v1.6 Dar", "'Vq7D'", "ZORV Plugins", "Gain Lo/Hi", "0.55",
                           "receiveVstTimeInfo", "Input 1"}) {
    EXPECT_NE(r.out.find(text), std::string::npos) << "info lacks " << text << ":\n" << r.out;
  }
}

TEST(Q19Commands, TablesPrintEveryEntryOfBothVoicings) {
  for (const char* voicing : {"lum", "dar"}) {
    ProcessResult r = RunQ19(std::string("tables --voicing ") + voicing);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("index,vgk,A,B,C,D\n0,4,", 0), 0u) << "header and first row";
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1402) << "header and 1401 rows";
    EXPECT_NE(r.out.find("\n1400,-10,"), std::string::npos) << "last row at -10 V";
  }
  ProcessResult lum = RunQ19("tables --voicing lum"), dar = RunQ19("tables --voicing dar");
  EXPECT_NE(lum.out, dar.out) << "the voicings differ";
}

}  // namespace
