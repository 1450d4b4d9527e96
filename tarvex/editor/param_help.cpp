#include "tarvex/editor/param_help.h"

#include "tarvex/engine/param_table.h"

namespace tarvex {
namespace {

constexpr const char* kGlobalHelp[kGlobalParamCount] = {
    "Manual, Learn Fixed or Live Assist. Selecting Learn mode never starts learning: press LEARN "
    "deliberately.",
    "Linked Stereo shares new detector/filter assignment; Dual Mono follows independent channels. "
    "Existing learned L/R assignments are retained.",
    "Input trim before analysis and filtering. Exact product bypass is independent of trims.",
    "Output trim after processing. No hidden peak limiter or automatic master gain increase.",
    "Blend original and filtered audio. Automatic filtering is causal; no audio lookahead.",
    "Bypass filtering and trims. While output is active, click twice to confirm removal of "
    "protection.",
    "Detector sensitivity. Feedback detection is heuristic; a sustained musical tone can resemble "
    "feedback.",
    "Detector noise floor in dBFS. Quiet candidates below this floor are ignored.",
    "Lower detector frequency bound in physical Hz. This does not high-pass normal audio.",
    "Upper detector frequency bound, safely below actual Nyquist. This does not low-pass normal "
    "audio.",
    "Required spectral persistence before admitting a candidate; analysis response time, not audio "
    "latency.",
    "Required narrow spectral prominence above local context in dB.",
    "Growth evidence in dB per second. Zero permits persistent stable candidates with other "
    "safeguards.",
    "Harmonic/context safeguard. Cannot guarantee discrimination between music and feedback.",
    "Maximum automatic cut depth; no automatic boost is generated.",
    "Automatic notch Q. Higher Q narrows the cut; check the actual applied response.",
    "Maximum learned Fixed slots. Manual reservations consume stable slot positions separately.",
    "Maximum adaptive Live slots. Learned Fixed filters stay frozen during performance.",
    "Hold a Live filter before recovery. Stop Learn retains valid Fixed filters.",
    "Recovery time for adaptive cuts after evidence decays. Actual slot activity is shown.",
    "Bounded cut activation transition in milliseconds.",
    "Cooldown between detector admissions to avoid rapidly stacking duplicate cuts.",
    "Knee for manual dynamic notches, around the stored per-slot threshold.",
    "Enable real input/output FFT display. Automatic and manual dynamic detection can continue "
    "with the display Off; silence never shows decorative spectra.",
};

constexpr const char* kSlotHelp[kSlotFieldCount] = {
    "Reserve this stable slot for a Manual filter. Off releases the manual reservation; learned "
    "state is separate.",
    "Manual notch centre in Hz; accepts Hz/kHz. Drag its graph handle horizontally.",
    "Requested manual cut depth in positive dB. Drag downward for a deeper cut; no boost.",
    "Manual notch Q. Wheel on the graph adjusts bandwidth; typed Q accepts a Q suffix.",
    "Apply this manual notch dynamically around its own detector threshold; Off applies the "
    "requested fixed cut.",
    "Manual dynamic notch detector threshold in dBFS. Does not gate or boost the main audio.",
    "Manual dynamic notch recovery in milliseconds; accepts ms or seconds.",
};

constexpr const char* kGlobalLabels[kGlobalParamCount] = {
    "MODE",        "ROUTING",        "INPUT",         "OUTPUT",        "MIX",          "BYPASS",
    "SENSITIVITY", "NOISE FLOOR",    "MIN FREQUENCY", "MAX FREQUENCY", "PERSISTENCE",  "PROMINENCE",
    "GROWTH",      "HARMONIC GUARD", "AUTO DEPTH",    "AUTO Q",        "FIXED LIMIT",  "LIVE LIMIT",
    "LIVE HOLD",   "RECOVERY",       "ATTACK",        "COOLDOWN",      "DYNAMIC KNEE", "ANALYZER",
};

constexpr const char* kSlotLabels[kSlotFieldCount] = {
    "MANUAL ENABLE", "FREQUENCY", "CUT DEPTH", "Q", "DYNAMIC", "THRESHOLD", "RELEASE",
};

} // namespace

const char* ParamHelpText(int paramIdx) {
  if (paramIdx < 0 || paramIdx >= kParamCount) return "";
  if (paramIdx < kGlobalParamCount) return kGlobalHelp[paramIdx];
  return kSlotHelp[(paramIdx - kSlotParamBase) % kSlotFieldCount];
}

const char* ParamControlLabel(int paramIdx) {
  if (paramIdx < 0 || paramIdx >= kParamCount) return "";
  if (paramIdx < kGlobalParamCount) return kGlobalLabels[paramIdx];
  return kSlotLabels[(paramIdx - kSlotParamBase) % kSlotFieldCount];
}

} // namespace tarvex
