#pragma once

// Resource ids of the standalone program, shared by its resource script and
// its code; the script's preprocessor reads only the defines.
#define IDR_ACCELERATORS 40000
#define IDD_MAIN 40001
#define IDD_PREFERENCES 40002
#define IDI_APP_ICON 40003
#define IDR_MAIN_MENU 40004

#define ID_ABOUT 40005
#define ID_PREFERENCES 40006
#define ID_QUIT 40007
#define ID_READ_MANUAL 40008

#define IDC_DRIVER 40009
#define IDC_AUDIO_IN_DEVICE 40010
#define IDC_AUDIO_OUT_DEVICE 40011
#define IDC_BUFFER_SIZE 40012
#define IDC_SAMPLE_RATE 40013
#define IDC_AUDIO_IN_1 40014
#define IDC_AUDIO_IN_2 40015
#define IDC_AUDIO_OUT_2 40016
#define IDC_AUDIO_OUT_1 40017
#define IDC_MIDI_IN_DEVICE 40018
#define IDC_MIDI_OUT_DEVICE 40019
#define IDC_MIDI_IN_CHANNEL 40020
#define IDC_MIDI_OUT_CHANNEL 40021
#define IDC_DRIVER_CONFIG 40022
#define IDC_APPLY 40024

#define ID_LIVE_EDIT 40025
#define ID_SHOW_DRAWN 40026
#define ID_SHOW_FPS 40027
#define ID_SHOW_BOUNDS 40028
#define ID_SAVE_SCREENSHOT 40029
