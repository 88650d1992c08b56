#include "support/testdata_cli.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "platform/io_error.h"
#include "support/ecg_synthesizer.h"
#include "support/wfdb_converter.h"

namespace testsupport {
namespace {

// A bad command line; the message says what was wrong.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

double ParseDouble(const std::string& option, const std::string& text) {
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size())
    throw UsageError(option + ": \"" + text + "\" is not a number");
  return value;
}

long ParseInteger(const std::string& option, const std::string& text) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size())
    throw UsageError(option + ": \"" + text + "\" is not a whole number");
  return value;
}

int32_t Clamp32(long value) {
  return static_cast<int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

// Seconds from a count of some unit, kept far from any overflow; the options check the real range.
int32_t Seconds(const std::string& option, double count, double unit_s) {
  if (!std::isfinite(count) || std::abs(count) > 1e7) throw UsageError(option + ": length out of range");
  return static_cast<int32_t>(count * unit_s);
}

// "FROM-TO:UV[:MASK]", seconds and microvolts.
StEpisode ParseSt(const std::string& text) {
  const size_t dash = text.find('-', 1);
  const size_t colon = text.find(':');
  if (dash == std::string::npos || colon == std::string::npos || colon < dash)
    throw UsageError("--st: expected FROM-TO:UV[:MASK], got \"" + text + "\"");
  const size_t second_colon = text.find(':', colon + 1);
  StEpisode episode;
  const double from_s = ParseDouble("--st", text.substr(0, dash));
  const double to_s = ParseDouble("--st", text.substr(dash + 1, colon - dash - 1));
  constexpr double kLongest = 72 * 3600.0;
  if (!(from_s >= 0.0 && from_s <= kLongest && to_s >= 0.0 && to_s <= kLongest))
    throw UsageError("--st: span outside 0..72 h");
  episode.start_ms = static_cast<int32_t>(from_s * 1000.0);
  episode.end_ms = static_cast<int32_t>(to_s * 1000.0);
  episode.shift_uv = Clamp32(ParseInteger("--st", text.substr(colon + 1, second_colon - colon - 1)));
  if (second_colon != std::string::npos) episode.channel_mask = Clamp32(ParseInteger("--st", text.substr(second_colon + 1)));
  return episode;
}

int RunSynth(const std::vector<std::string>& args, std::ostream& out) {
  SynthOptions o;
  o.duration_s = 600;
  std::string out_base;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
      return args[++i];
    };
    if (arg == "--seed") {
      const long seed = ParseInteger(arg, value());
      if (seed < 0) throw UsageError("--seed must not be negative");
      o.seed = static_cast<uint64_t>(seed);
    } else if (arg == "--seconds") {
      o.duration_s = Clamp32(ParseInteger(arg, value()));
    } else if (arg == "--minutes") {
      o.duration_s = Seconds(arg, static_cast<double>(ParseInteger(arg, value())), 60.0);
    } else if (arg == "--hours") {
      o.duration_s = Seconds(arg, ParseDouble(arg, value()), 3600.0);
    } else if (arg == "--channels") {
      o.channels = Clamp32(ParseInteger(arg, value()));
    } else if (arg == "--hr") {
      o.heart_rate_bpm = ParseDouble(arg, value());
    } else if (arg == "--hrv") {
      o.hrv_sd_ms = ParseDouble(arg, value());
    } else if (arg == "--ves") {
      o.ves_fraction = ParseDouble(arg, value());
    } else if (arg == "--sves") {
      o.sves_fraction = ParseDouble(arg, value());
    } else if (arg == "--pauses") {
      o.pauses_per_hour = ParseDouble(arg, value());
    } else if (arg == "--pause-ms") {
      o.pause_ms = Clamp32(ParseInteger(arg, value()));
    } else if (arg == "--paced") {
      o.paced_fraction = ParseDouble(arg, value());
    } else if (arg == "--no-pace-markers") {
      o.pacemaker_markers = false;
    } else if (arg == "--noise") {
      o.noise_uv = ParseDouble(arg, value());
    } else if (arg == "--baseline") {
      o.baseline_uv = ParseDouble(arg, value());
    } else if (arg == "--st") {
      o.st_episodes.push_back(ParseSt(value()));
    } else if (arg == "--start") {
      if (!ParseRecordingStart(value(), o.start)) throw UsageError("--start: expected \"YYYY-MM-DD HH:MM:SS\"");
    } else if (arg == "--old") {
      o.format = CmpFormat::kOld;
    } else if (arg == "--half-rate") {
      o.mode = CmpMode::kCodedHalf;
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError("unknown option " + arg);
    } else if (out_base.empty()) {
      out_base = arg;
    } else {
      throw UsageError("more than one output path");
    }
  }
  if (out_base.empty()) throw UsageError("synth needs an output path");
  try {
    CheckSynthOptions(o);
  } catch (const std::invalid_argument& e) {
    throw UsageError(e.what());
  }
  const std::filesystem::path base(out_base);
  const TruthList truth = WriteSyntheticRecording(base, o);
  out << "wrote " << base.string() << ".CMP (" << (o.duration_s + 59) / 60 << " min, " << o.channels << " channels), "
      << base.string() << ".truth.txt (" << truth.beats.size() << " beats, " << truth.events.size() << " events), "
      << SetupPathFor(base).string() << "\n";
  return 0;
}

int RunFromWfdb(const std::vector<std::string>& args, std::ostream& out, const TestdataHooks& hooks) {
  if (args.size() != 3) throw UsageError("from-wfdb needs RECORD and OUT");
  const std::filesystem::path base(args[2]);
  const WfdbConversion result = ConvertWfdbRecordToFiles(args[1], base);
  out << "wrote " << base.string() << ".CMP (" << result.minutes << " min, " << result.channels
      << " channels), " << base.string() << ".15" << result.channels << ", " << base.string() << ".ANO ("
      << result.references.size() << " references), " << base.string() << ".truth.txt ("
      << result.truth.beats.size() << " beats), " << SetupPathFor(base).string();
  if (hooks.write_recording_file)
    out << ", " << hooks.write_recording_file(base).string() << " (not analysed)";
  out << "\n";
  return 0;
}

}  // namespace

std::string UsageText() {
  return "usage:\n"
         "  zk470-testdata synth [options] OUT\n"
         "      writes OUT.CMP, OUT.truth.txt and OUT.setup.txt (OUT is a path without extension)\n"
         "      --seed N              random seed (1); equal options give equal files\n"
         "      --seconds N | --minutes N | --hours H   length (10 minutes), up to 72 h\n"
         "      --channels N          1..3 (2)\n"
         "      --hr BPM              mean heart rate (70)\n"
         "      --hrv MS              RR interval variability (40)\n"
         "      --ves SHARE           share of ventricular premature beats (0)\n"
         "      --sves SHARE          share of supraventricular premature beats (0); both at most 0.5\n"
         "      --pauses N            sinus pauses per hour (0)\n"
         "      --pause-ms MS         pause length (2400)\n"
         "      --paced SHARE         share of paced beats, 1 = pacemaker rhythm (0)\n"
         "      --no-pace-markers     paced beats without the recorder's pacemaker marker\n"
         "      --noise UV            white noise, standard deviation (10)\n"
         "      --baseline UV         baseline wander (60)\n"
         "      --st FROM-TO:UV[:MASK]  ST shift between two times in seconds, on the channels of\n"
         "                            MASK (bit 0 = channel 1; all); repeatable\n"
         "      --start \"YYYY-MM-DD HH:MM:SS\"  recording start (2024-01-15 08:00:00)\n"
         "      --old                 old compressed format (2 channels, up to 24 h)\n"
         "      --half-rate           half-rate blocks\n"
         "  zk470-testdata from-wfdb RECORD OUT\n"
         "      RECORD is a WFDB record without extension (.hea, format 212 or 16 .dat, .atr);\n"
         "      writes OUT.CMP, OUT.15<channels> (reference signal file), OUT.ANO (reference beats\n"
         "      in milliseconds), OUT.truth.txt, OUT.setup.txt and, in the program built with the\n"
         "      document, OUT.QRS (the recording, not analysed); name OUT MIT<record> for the\n"
         "      validation batch and statistic\n";
}

int RunTestdataCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const TestdataHooks& hooks) {
  try {
    if (args.empty()) throw UsageError("no command");
    if (args[0] == "synth") return RunSynth(args, out);
    if (args[0] == "from-wfdb") return RunFromWfdb(args, out, hooks);
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
      out << UsageText();
      return 0;
    }
    throw UsageError("unknown command " + args[0]);
  } catch (const UsageError& e) {
    err << "zk470-testdata: " << e.what() << "\n" << UsageText();
    return 2;
  } catch (const platform::IoError& e) {
    err << "zk470-testdata: " << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    err << "zk470-testdata: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace testsupport
