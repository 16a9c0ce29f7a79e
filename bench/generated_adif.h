// The records of the end-to-end benchmarks: a generated ADIF file of
// realistic QSOs of DL1QLT, no two with the same key.
#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace quillet::bench {

inline std::string Field(const char* name, const std::string& value) {
  return "<" + std::string(name) + ":" + std::to_string(value.size()) + ">" + value + " ";
}

struct Band {
  const char* name;
  double low, high;
};
constexpr Band kBands[] = {{"160M", 1.81, 2.0},  {"80M", 3.5, 3.8},     {"40M", 7.0, 7.2},
                           {"30M", 10.1, 10.15}, {"20M", 14.0, 14.35},  {"17M", 18.068, 18.168},
                           {"15M", 21.0, 21.45}, {"12M", 24.89, 24.99}, {"10M", 28.0, 29.7},
                           {"6M", 50.0, 52.0},   {"2M", 144.0, 146.0}};
constexpr const char* kModes[] = {"SSB", "CW", "FT8", "FT8", "FT8", "RTTY", "FM", "FT4"};
constexpr const char* kNames[] = {"Walt", "Remi",   "Nell",  "Aki",  "Heike", "Bernd",  "Ann O'Dell",
                                  "Urs",  "Sigrid", "Jirka", "Lars", "Mirko", "Pieter", "Dario"};
constexpr const char* kPrefixes[] = {"K",  "W",  "N",  "DL", "DK", "F",   "G",  "EA", "I",  "OH", "SP",
                                     "JA", "VK", "PY", "ZS", "ON", "HB9", "LA", "OK", "S5", "YO"};

inline std::string Callsign(std::mt19937& random, int index) {
  std::string call = kPrefixes[index % std::size(kPrefixes)];
  call += std::to_string(index % 10);
  for (int i = 0; i < 3; ++i) call += static_cast<char>('A' + (random() % 26));
  return call;
}

// One record per line, about 300 characters: a pool of stations worked
// again and again, mixed bands and modes, one QSO every one to three minutes.
inline void WriteAdif(const std::filesystem::path& path, int records) {
  std::mt19937 random(20240302);
  std::vector<std::string> calls;
  for (int i = 0; i < 8000; ++i) calls.push_back(Callsign(random, i));
  std::ofstream out(path, std::ios::binary);
  out << "Generated for the end-to-end benchmark\n"
      << Field("ADIF_VER", "3.1.4") << Field("PROGRAMID", "QuilletBench") << "<EOH>\n";
  long minute = 0;
  char text[64];
  for (int i = 0; i < records; ++i) {
    minute += 1 + random() % 3;
    const long day = minute / 1440;
    std::snprintf(text, sizeof text, "%04ld%02ld%02ld", 2020 + day / 336, 1 + day / 28 % 12, 1 + day % 28);
    const std::string date = text;
    std::snprintf(text, sizeof text, "%02ld%02ld%02d", minute / 60 % 24, minute % 60,
                  static_cast<int>(random() % 60));
    const std::string time = text;
    const Band& band = kBands[random() % std::size(kBands)];
    std::snprintf(text, sizeof text, "%.3f", band.low + (band.high - band.low) * (random() % 1000) / 1000.0);
    const std::string mode = kModes[random() % std::size(kModes)];
    const bool digital = mode.starts_with("FT");
    const std::string call = calls[std::min<std::size_t>(random() % 8000, random() % 8000)];
    out << Field("CALL", call) << Field("QSO_DATE", date) << Field("TIME_ON", time)
        << Field("BAND", band.name) << Field("FREQ", text) << Field("MODE", mode)
        << Field("RST_SENT", digital ? "-10" : "59") << Field("RST_RCVD", digital ? "-14" : "57")
        << Field("NAME", kNames[random() % std::size(kNames)])
        << Field("QTH", "Town " + std::to_string(random() % 500))
        << Field("GRIDSQUARE", std::string(1, static_cast<char>('A' + random() % 18)) + "N" +
                                   std::to_string(random() % 10) + std::to_string(random() % 10))
        << Field("CQZ", std::to_string(1 + random() % 40)) << Field("ITUZ", std::to_string(1 + random() % 75))
        << Field("QSL_SENT", random() % 2 ? "Y" : "N") << Field("QSL_RCVD", random() % 4 ? "N" : "Y")
        << Field("LOTW_QSL_SENT", random() % 2 ? "Y" : "N") << Field("COMMENT", "tnx fer QSO, 73")
        << Field("STATION_CALLSIGN", "DL1QLT") << Field("OPERATOR", "DL1QLT") << "<EOR>\n";
  }
}

}  // namespace quillet::bench
