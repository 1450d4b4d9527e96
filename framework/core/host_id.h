#pragma once

#include <array>
#include <cstdint>

namespace plugkit {

// The host's identity, found from the name the host gives.
enum HostId : int32_t {
  kHostUninit = -1,
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostCakewalk = 5,
  kHostVegas = 6,
  kHostFruity = 7,
  kHostSamplitude = 8,
  kHostLive = 9,
  kHostTracktion = 10,
  kHostNTracks = 11,
  kHostMelodyne = 12,
  kHostVstManLib = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostBias = 19,
  kHostSawStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigital = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostPresonus = 26,
  kHostVst3PluginTestHost = 27,
  kHostArdour = 28,
  kHostRenoise = 29,
  kHostOpenMPT = 30,
  kHostWaveLab = 31,
  kHostWaveLabElements = 32,
  kHostTwistedWave = 33,
  kHostBitwig = 34,
  kHostWWW = 35,
  kHostReason = 36,
  kHostGWVST = 37,
  kHostWaveform = 38,
  kHostAudacity = 39,
  kHostAcoustica = 40,
  kHostPluginDoctor = 41,
  kHostIZotopeRX = 42,
  kHostSAVIHost = 43,
  kHostBlueCat = 44,
  kHostMixbus = 45,
};

struct HostMatch {
  const char* text;
  HostId id;
};

// Lower-case texts looked for in the lower-cased host name. The order is the
// tie-break: the first text found wins, which is why "wavelab elements" comes
// before "wavelab" and the generic "standalone" and "www" come last.
inline constexpr std::array<HostMatch, 45> kHostTable{{
    {"reaper", kHostReaper},
    {"protools", kHostProTools},
    {"cubase", kHostCubase},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostCakewalk},
    {"vegas", kHostVegas},
    {"fruity", kHostFruity},
    {"samplitude", kHostSamplitude},
    {"live", kHostLive},
    {"tracktion", kHostTracktion},
    {"ntracks", kHostNTracks},
    {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVstManLib},
    {"aulab", kHostAULab},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"bias", kHostBias},
    {"sawstudio", kHostSawStudio},
    {"logic", kHostLogic},
    {"garageband", kHostGarageBand},
    {"digital", kHostDigital},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostPresonus},
    {"vst3plugintesthost", kHostVst3PluginTestHost},
    {"ardour", kHostArdour},
    {"renoise", kHostRenoise},
    {"openmpt", kHostOpenMPT},
    {"wavelab elements", kHostWaveLabElements},
    {"wavelab", kHostWaveLab},
    {"twistedwave", kHostTwistedWave},
    {"bitwig studio", kHostBitwig},
    {"reason", kHostReason},
    {"gwvst", kHostGWVST},
    {"waveform", kHostWaveform},
    {"audacity", kHostAudacity},
    {"acoustica", kHostAcoustica},
    {"plugindoctor", kHostPluginDoctor},
    {"izotope rx", kHostIZotopeRX},
    {"savihost", kHostSAVIHost},
    {"blue cat's vst host", kHostBlueCat},
    {"mixbus", kHostMixbus},
    {"standalone", kHostStandalone},
    {"www", kHostWWW},
}};

} // namespace plugkit
