// What every format tells its hosts the plug-in is called and who made it: hosts list
// the maker as vendor (VST, CLAP) or author (LV2), and users find the plug-in by both.
#pragma once

namespace identity {

inline constexpr char kName[] = "KRV tarnwick";
inline constexpr char kProduct[] = "KRV tarnwick - opto compressor";
// The vendor string hosts have always shown for the VST library.
inline constexpr char kMaker[] = "krv-soundlab.com";
inline constexpr char kMakerHomepage[] = "http://krv-soundlab.com/";

}  // namespace identity
