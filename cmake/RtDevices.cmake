# RtAudio over DirectSound and RtMidi over Windows multimedia MIDI, for the
# standalone program (Windows build only). Each is a library of its own built
# as it comes: no warning flags here, and SYSTEM include folders so that their
# headers never trip ours.
add_library(rtaudio STATIC "${PROJECT_SOURCE_DIR}/third_party/rtaudio/RtAudio.cpp")
target_include_directories(rtaudio SYSTEM PUBLIC "${PROJECT_SOURCE_DIR}/third_party/rtaudio")
target_compile_definitions(rtaudio PUBLIC __WINDOWS_DS__)
target_link_libraries(rtaudio PUBLIC dsound ole32 winmm uuid ksuser)

add_library(rtmidi STATIC "${PROJECT_SOURCE_DIR}/third_party/rtmidi/RtMidi.cpp")
target_include_directories(rtmidi SYSTEM PUBLIC "${PROJECT_SOURCE_DIR}/third_party/rtmidi")
target_compile_definitions(rtmidi PUBLIC __WINDOWS_MM__)
target_link_libraries(rtmidi PUBLIC winmm)
