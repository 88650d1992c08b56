#pragma once

#include <string>

// Converts the recorder's voice file (16-byte header, 4-byte little-endian sample count N, N
// delta-coded bytes) into the recording's voice file ("PID"): RIFF WAVE, PCM, mono, 16000
// samples per second, 8 bits, N - 1 samples. Throws platform::IoError whose fault() is the
// message the user sees: "Error reading VoicFile <name> !", "No memory, needed <n> Bytes!" or
// "Error writing PIDFile <name> !". The wave file is replaced only when it is written whole.
void ConvertVoiceToWave(const std::string& voice_path, const std::string& wave_path);

// The document's form: false with the message in error_text.
bool ConvertVoiceToWave(const std::string& voice_path, const std::string& wave_path, std::string& error_text);
