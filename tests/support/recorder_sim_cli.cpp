#include "support/recorder_sim_cli.h"

#include <charconv>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace recsim {
namespace {

long Number(const std::string& option, const std::string& text, long low, long high) {
  long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
    throw std::invalid_argument(option + ": \"" + text + "\" is not a number in " + std::to_string(low) +
                                ".." + std::to_string(high));
  return value;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

std::string RecorderSimUsage() {
  return "  zk470-testdata recorder-sim [options]\n"
         "      serves a simulated recorder on a pseudo-terminal until killed; prints its device path\n"
         "      --kind N              2 ZK-130, 3 ZK-133, 4 ZK-131 (4)\n"
         "      --cmp FILE            the recording's sample file (else a synthetic one)\n"
         "      --minutes N           length of the synthetic recording (2)\n"
         "      --voice FILE          voice bytes of a ZK-131\n"
         "      --version TEXT        firmware version (V1.20)\n"
         "      --serial TEXT         serial number\n"
         "      --throttle BPS        stream at most BPS bytes per second (0: unthrottled)\n"
         "      --bad-echo WORD       garble the echo of WORD (* all)\n"
         "      --short-answer WORD   cut the answer of WORD in half (* all)\n"
         "      --silent-word WORD    never answer WORD\n"
         "      --cut-after N         streams stop after N bytes\n"
         "      --ff-start            the sample data start with 32 bytes 0xFF\n"
         "      --unformatted         the card is not formatted\n"
         "      --flat-battery        battery life 0 h\n"
         "      --rec-stat-stuck      the recording never reports started\n"
         "      --silent              answer nothing\n"
         "      --card-image FILE     write the recording as a RAW card image and exit\n";
}

SimConfig ParseRecorderSimOptions(const std::vector<std::string>& args, std::string* card_image) {
  int kind = 4;
  int minutes = 2;
  std::optional<std::string> cmp;
  std::optional<std::string> voice;
  SimConfig options;  // collects the switches; merged below once the kind is known
  std::string version = options.version;
  std::string serial;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(arg + " needs a value");
      return args[++i];
    };
    if (arg == "--kind")
      kind = static_cast<int>(Number(arg, value(), 2, 4));
    else if (arg == "--cmp")
      cmp = value();
    else if (arg == "--minutes")
      minutes = static_cast<int>(Number(arg, value(), 1, 72 * 60));
    else if (arg == "--voice")
      voice = value();
    else if (arg == "--version")
      version = value();
    else if (arg == "--serial")
      serial = value();
    else if (arg == "--throttle")
      options.throttle_bytes_per_second = Number(arg, value(), 0, 1L << 40);
    else if (arg == "--bad-echo")
      options.faults.bad_echo = value();
    else if (arg == "--short-answer")
      options.faults.short_answer = value();
    else if (arg == "--silent-word")
      options.faults.silent_word = value();
    else if (arg == "--cut-after")
      options.faults.cut_stream_after = Number(arg, value(), 0, 1L << 40);
    else if (arg == "--ff-start")
      options.faults.ff_start = true;
    else if (arg == "--unformatted")
      options.card_status = 4;
    else if (arg == "--flat-battery")
      options.battery_hours = 0;
    else if (arg == "--rec-stat-stuck")
      options.faults.rec_stat_stuck = true;
    else if (arg == "--silent")
      options.faults.silent = true;
    else if (arg == "--card-image" && card_image != nullptr)
      *card_image = value();
    else
      throw std::invalid_argument("unknown option " + arg);
  }
  SimConfig config = cmp ? SimConfig::ForKind(kind) : SimConfig::WithSyntheticEcg(kind, minutes);
  if (cmp) config.ecg = ReadFile(*cmp);
  if (voice) config.voice = ReadFile(*voice);
  config.version = version;
  if (!serial.empty()) config.serial = serial;
  config.throttle_bytes_per_second = options.throttle_bytes_per_second;
  config.card_status = options.card_status;
  config.battery_hours = options.battery_hours;
  config.faults = options.faults;
  return config;
}

int RunRecorderSimCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const std::function<bool()>& keep_running) {
  SimConfig config;
  std::string card_image;
  try {
    config = ParseRecorderSimOptions(args, &card_image);
  } catch (const std::invalid_argument& e) {
    err << "zk470-testdata recorder-sim: " << e.what() << "\n" << RecorderSimUsage();
    return 2;
  } catch (const std::exception& e) {
    err << "zk470-testdata recorder-sim: " << e.what() << "\n";
    return 1;
  }
  try {
    if (!card_image.empty()) {
      WriteCardImage(config, card_image);
      out << card_image << "\n";
      return 0;
    }
    PtyRecorder sim(config);
    out << sim.DevicePath() << std::endl;
    while (keep_running()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return 0;
  } catch (const std::exception& e) {
    err << "zk470-testdata recorder-sim: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace recsim
