// The built-in language text, zone "[Zone_English]":
// English (language code 0, and every code without a zone of its own).
// Every entry is "[number]", a TAB and the text, which runs up to the next line that starts with "[";
// the same 443 numbers stand in every language zone, and every text keeps the % conversions and the
// "&&" of its English original. Texts that end in a blank stand in pieces of their own.
#include "i18n/builtin_language_text.hpp"

namespace mw::builtin_text {
namespace {

// clang-format off
constexpr std::string_view kPieces[] = {
R"MW([Zone_English]

[0]	Murmelwerk
[1]	Murmelwerk - the synthesizer you play with your mouse
[2]	The sound is on.
[3]	The sound is off.
[4]	Hide
[5]	Start && Hide
[6]	Start & Hide starts the sound and hides the program's window completely, so that nothing of it remains on the screen while you play. If the icon in the System Tray is switched on (Options, Minimization options), clicking it brings the window back.
[7]	Start & Hide
[8]	Control-Sensitizer Module
[9]	Get New Module
[10]	Control-Modulator Module
[11]	Specify a name for this module:
[12]	When this is ticked, a mouse cursor that reaches an edge of the screen jumps to the opposite edge, so you can keep moving the mouse in one direction for as long as you like. The jump itself counts neither as distance nor as speed.
[13]	Wrap mouse cursor at edges of the screen
[14]	Desired Latency
[15]	Input Latency
[16]	Murmelwerk understands these command-line options. Letter case does not matter, and each option may be written with or without its leading "-".

-AutoStartOnly
    Start the sound as soon as the program opens.

-AutoStartAndHide
    Start the sound and hide the window as soon as the program opens. The icon in the System Tray, if it is switched on, brings the window back.

-NoInstall
    Run the program from where it is, without offering to install it.

-RemoveIt
    Remove the installed program from this computer.

-MakeNoSound
    "-MakeNoSound" or "-MakeNoSound 1" mutes the sound output for this run; "-MakeNoSound 0" does not. Without the option the sound is heard as usual.

-WrapMouse
    "-WrapMouse" or "-WrapMouse 1" makes the mouse cursor wrap at the edges of the screen for this run; "-WrapMouse 0" does not. Without the option the saved setting "Wrap mouse cursor at edges of the screen" (Options) decides.

Neither of these two is ever saved.
[17]	Command-line options
)MW",
"[18]\tYour mouse is currently halted at \n",
"[19]\tYour mouse is currently crawling at \n",
"[20]\tYour mouse is currently walking at \n",
"[21]\tYour mouse is currently jogging at \n",
"[22]\tYour mouse is currently running at \n",
"[23]\tYour mouse is blazingly travelling at \n",
"[24]\tYour mouse is burning up at \n",
R"MW([25]	%u pixels per second.
[26]	About
[27]	Help
[28]	Preferences
[29]	Start
[30]	Stop
[31]	Restore
[32]	Minimize
[33]	Exit
[34]	The file that runs this program has become corrupted. This may have been caused by disk error, RAM error, and/or a virus. Please re-download this program.
[35]	Maximize
[36]	Command line options
[37]	%.05g hertz
[38]	Current control rate:
[39]	Click to add a module of this kind
[40]	Status Display
[41]	What does this do?
[42]	Go there
)MW",
"[43]\t\n",
R"MW([44]	Murmelwerk 1.0
A sound synthesizer that you play with the computer mouse.

Build patches from control and audio modules, let the movements of your mouse drive them, and listen.

Murmelwerk comes with absolutely no warranty; choose "View EULA" to read the terms of use.
[45]	Okay
[46]	Cancel
[47]	Apply
[48]	Automatically begin sounding when the program begins.
[49]	Start Murmelwerk automatically when I log on.
[50]	Text Files (*.txt)|*.txt|All Files (*.*)|*.*||
[51]	Language Options
[52]	Options
[53]	Your mouse has travelled a total of %.00f pixels since this program started.
[54]	Choose a language strings file
[55]	Input control
[56]	Attack
[57]	Decay
[58]	Direction
[59]	Turn Inertia
[60]	Turn Inertia'
[61]	Speed
[62]	Acceleration
[63]	Horizontal Position
[64]	Vertical Position
[65]	Horizontal Velocity
[66]	Vertical Velocity
[67]	Horizontal Acceleration
[68]	Vertical Acceleration
[69]	Scroll Position
[70]	Scroll Velocity
[71]	Scroll Acceleration
[72]	Old value:
[73]	New value:
[74]	Control-Sensitizer Module %ld
[75]	Control-Modulator Module %ld
[76]	Effect
[77]	Signed output
[78]	Linear input
[79]	Modulation rate: %g hertz
[80]	Modulation input control
[81]	Oscillator module %ld
[82]	Frequency: %g hertz
[83]	Base frequency
[84]	Frequency multiplier
[85]	Amplitude control
[86]	Frequency control
[87]	-[ Manual ]-
[88]	Oscillator module
[89]	Output device
[90]	Output module
[91]	Output module %ld
[92]	Current sound latency (in milliseconds):
[93]	Latency Control
[94]	%ld milliseconds
[95]	Input module
[96]	Input source
[97]	Control-Echo Module
[98]	Control-Echo Module %ld
[99]	Interval control
[100]	Long interval mode
[101]	Linger control
[102]	Control-Combine Module
[103]	Control-Combine Module %ld
[104]	Input source %ld
[105]	Input range ( lower / upper limit )
[106]	Keep within specified range
[107]	Control-Range Module
[108]	Control-Range Module %ld
[109]	Show mouse-status indicator items
[110]	Noiselitude control
[111]	Waveform control
[112]	MIDI input device
[113]	MIDI-Input Module
[114]	MIDI-Input Module %ld
[115]	Sensitivity of Control: %ld %%
[116]	Signal instead of Velocity
[117]	Transpose control
[118]	Tuning control
[119]	Control-Closest-Note Module
[120]	Control-Closest-Note Module %ld
[121]	Echo module
[122]	Echo module %ld
[123]	Interval: %g milliseconds
[124]	Audio-Input module
[125]	Audio-Input module %ld
[126]	The audio-input device is already in use and so cannot be used at the moment.
[127]	Audio input device
[128]	Pitch-Shift module
[129]	Pitch-Shift module %ld
[130]	Enable low-pass filter
[131]	Pitch control
[132]	Output-%ld
[133]	Fader control
[134]	Output-splitter/fader module
[135]	Output-splitter/fader module %ld
[136]	Output device %ld
[137]	Input-combiner/fader module
[138]	Input-combiner/fader module %ld
[139]	Input module %ld
[140]	Input gain control
[141]	Multi-delay module
[142]	Multi-delay module %ld
[143]	Wave file:
[144]	Recording
[145]	Stopped
[146]	Wave Files (*.wav)|*.wav|All Files (*.*)|*.*||
[147]	Wave-writer module
[148]	Wave-writer module %ld
[149]	The file could not be opened for writing. Check that the file is not in use, that the disk is not full, and that the file path specified is valid.
[150]	The file could not be opened.
[151]	Append to existing
[152]	Configuration
[153]	Load
[154]	Save As...
[155]	Murmelwerk Configurations (*.mwc)|*.mwc;*.mwc_|All Files (*.*)|*.*||
[156]	An error occured during the writing of the file. Check that the disk is not full and is still mounted, and then try again.
[157]	An error occured during the writing of the file.
[158]	Murmelwerk Configuration (MWC)
[159]	The file could not be opened for reading. Check that the file is not in use and that the file path specified is valid.
[160]	The file could not be opened for reading.
[161]	Clear all current modules
[162]	Overdrive control
[163]	Compression control
[164]	Compression-waveform control
[165]	Noise-fidelity control
[166]	Distortion module
[167]	Distortion module %ld
[168]	Ramp control
[169]	Delay %ld control
[170]	Rendering...
[171]	%ld percent complete
[172]	Browse...
[173]	Colour Palette
[174]	Old Colour:
[175]	New Colour:
[176]	Prospective Colour:
[177]	Red:
[178]	Green:
[179]	Blue:
[180]	Hex (HTML style):
[181]	Minimization options
[182]	System Tray settings
[183]	Show icon in System Tray.
[184]	Only when minimized.
[185]	Hide taskbar button when minimized.
[186]	Minimize program shortly after it begins.
[187]	Minimize on "Close" / "X", only exit when "Exit" is chosen.
[188]	Minimize when Esc key is pressed.
[193]	The saved settings file is not of this program, default settings will be used.
[194]	The saved settings file is not of Murmelwerk Software, default settings will be used.
[195]	The saved settings file is either not of this program, or is not a saved settings file, default settings will be used.
[196]	The saved settings file is not of this version, load anyway?
[197]	Load anyway?
[199]	Snap the main window to the screen edges while it is dragged
[200]	Plain colours for the status fields
[201]	Settings file:
[202]	Language strings file:
[206]	Export language strings...
[207]	The language strings could not be written to the file.
[209]	Your comment could not be sent. Check that this computer is connected to the Internet and that no firewall is blocking Murmelwerk, and then try again.
[210]	Error
[211]	Check for a newer version now
[212]	There is a newer version of %s available. Would you like to learn more?
[213]	Version Notification
[214]	Visual Preferences
[215]	Dialog background colour:
[216]	Dialog text colour:
[217]	Module background colour:
[218]	Module text colour:
[219]	Some changes will not take effect until the program is restarted.
[220]	Normal button background colour:
[221]	Normal button text colour:
[222]	Default button background colour:
[223]	Default button text colour:
[224]	Focused button background colour:
[225]	Focused button text colour:
[226]	Disabled button background colour:
[227]	Disabled button text colour:
[228]	Hot button background colour:
[229]	Hot button text colour:
[230]	Inactive button background colour:
[231]	Inactive button text colour:
)MW",
"[232]\t\n",
"[233]\t\n",
"[234]\t\n",
"[235]\t\n",
"[236]\t\n",
"[237]\t\n",
"[238]\t\n",
"[239]\t\n",
"[240]\t\n",
"[241]\t\n",
R"MW([242]	Visit the online help centre
[243]	Display mode
[244]	Example Mouse-Based Configuration
[245]	Example MIDI-Based Configuration
[246]	Example Microphone-Based Configuration
[247]	Example Modulation-Based Configuration
[248]	Welcome to Murmelwerk
[249]	Okay
[250]	Thank you for trying Murmelwerk, the synthesizer that you play with your mouse.

Every movement of the mouse - its direction, speed, turning and position - can steer the sound. A patch is made of small module windows: control modules shape the mouse signals, audio modules make and change the sound, and an output module (or any audio module given an output device) lets you hear it.

To begin, press one of the example buttons below, then press Start and move the mouse. "Get New Module" adds modules of your own, and "Configuration" loads and saves patches and offers many more examples.
[251]	Control-Offset Module
[252]	Control-Offset Module %ld
[253]	Offset control
[254]	Control-Gain Module
[255]	Control-Gain Module %ld
[256]	Gain control
[257]	Control-Input Module
[258]	Control-Input Module %ld
[259]	BPM control
[260]	Note-length control
[261]	Note-velocity control
[262]	Note sequence
[263]	How to write a note sequence
[264]	Write the notes one after another as [Note][octave]: a letter from A to G, a "#" after it for one semitone higher, then the octave as one digit from 0 to 9. A space stands for a blank note (a rest of one step). Hyphens separate notes without a pause, for example C4-E4-G4 C5. Other characters are ignored. Notes played on the note-catcher input device are added to the sequence.
[265]	Control-Sequence Module
[266]	Control-Sequence Module %ld
[267]	Note control
[268]	Ding-Dong module
[269]	Ding-Dong module %ld
[270]	Control-Sensor Module
[271]	S %ld
[272]	Gravity
[273]	Polarity
[274]	Signed
[275]	Control-Note-Combine Module
[276]	Control-Note-Combine Module %ld
[277]	Sustain
[278]	Angle
[279]	Control-Low-Cut Module
[280]	Control-Low-Cut Module %ld
[281]	Low-cut frequency control
[282]	Control-Note-Retard Module
[283]	Control-Note-Retard Module %ld
[284]	Retardation control
[285]	-[ Whence Latest Note ]-
[286]	Output-analyzer module
[287]	Output-analyzer module %ld
[288]	Analyzer
[289]	Oscilloscope
[290]	Phase control
[291]	Example Sequence-Based Configuration
[292]	Note-catcher input-source ( optional )
[293]	Module drop-down background colour:
[294]	Module drop-down text colour:
[295]	Maximum-frequency control
[296]	Low-pass module
[297]	Low-pass module %ld
[298]	Attenuation control
[299]	High-pass module
[300]	High-pass module %ld
[301]	Control-Source
[302]	Control-Effect
[303]	Audio-Source
[304]	Audio-Effect
[305]	Audio-Other
[306]	Reversed note orientation
[307]	Retardation-source control
[308]	Velocity of input %ld
[309]	Speed ( Raw )
[310]	Choose a wave file
[317]	Would you prefer that I hide in the System Tray rather than simply minimize?
[318]	Minimize to the System Tray?
[321]	When you click the X, Would you prefer that I Close or would you prefer that I Minimize?\r\n\r\nYes - Close on X.\r\n\r\nNo - Minimize on X.
[322]	Close or Miminize?
[323]	When the Esc key is pressed, would you like me to minimize?
[324]	Minimize on Esc?
[400]	Energy function
[401]	Input-output ratio control
[402]	Discharge-rate control
[403]	Threshold control
[404]	Leak-through control
[405]	Leakage control
[406]	Dendrite %ld control
[407]	Control-Neuron Module
[408]	Control-Neuron Module %ld
[409]	Make all inputs positive
[410]	Sample-Rate of Control-Data
[411]	Linear ( Identity )
[412]	Audio Step-Function module
[413]	Audio Step-Function module %ld
[414]	Control Step-Function Module
[415]	Control Step-Function Module %ld
[416]	Step-Size control
[417]	Horizontal Direction ( Unsigned )
[418]	Horizontal Direction ( Signed )
[419]	Vertical Direction ( Unsigned )
[420]	Vertical Direction ( Signed )
[421]	Input %ld control
[422]	Polyphonicator Module
[423]	Polyphonicator Module %ld
[424]	Request for Comments
[425]	Send
[426]	In the future, do not show this dialog
[427]	What do you like about Murmelwerk, what is missing, what went wrong? Type your comment below and press Send.
[428]	Privacy: only the text that you type is sent, without encryption, to the Murmelwerk web site, which also sees your network address as it does with any web request. Nothing else about you or your computer is sent.
[429]	Thank you!
[430]	Thank you for your comment!
[431]	Real-time CPU priority for synthesis processing ( Restart sound to effect. Warning: Can freeze system when under heavy load and/or if a glitch occurs. ).
[432]	Output mode
[433]	Attack control
[434]	Attack-level to velocity ratio control
[435]	Decay control
[436]	Sustain control
[437]	Control-Note-Envelope Module
[438]	Control-Note-Envelope Module %ld
[439]	Release control
[440]	Smoothing control
[441]	Input velocity
[442]	Output range ( lower / upper limit )
[443]	%g milliseconds
[444]	%g semitones
[445]	%g cents
[446]	%g beats per minute
[447]	Velocity: %g
[448]	Lower limit: %g
[449]	Upper limit: %g
[450]	Value: %g
[451]	%g %%
[452]	Microphone based
[453]	MIDI based
[454]	Modulation based
[455]	Mouse based
[456]	Neuron based
[457]	Sequence based
[458]	Simple Pitch and Echo
[459]	Air Saw
[460]	Air Synth
[461]	Distorted Air
[462]	Distorted Air ( Breathable )
[463]	Simple Organ Thing
[464]	Space-Circus Gets Flushed Down Note-Drain
[465]	Space-Circus of Confused Tonality
[466]	With Modulation
[467]	Animalistic 1
[468]	Animalistic 2
[469]	Distant Signal
[470]	Dizziness
[471]	Plastic Hand-Saw
[472]	Twisted
[473]	Digital Modulation
[474]	Drainpipe Dreams of Rain
[475]	Powerful Electric Motor
[476]	Vacuum Cleaner from Outer Space
[477]	Neuronic Beat
[478]	ABCs Can Bump
[479]	Micro-Mechanics
[480]	Update an existing installation ( keep its settings file )
[481]	Send Feedback
[482]	View EULA
[483]	Getting Started Tutorials
[484]	MIDI-Slider Module
[485]	MIDI-Slider Module %ld
[486]	Slider %ld
[487]	Controller
[488]	Value
[489]	Sign
[490]	Add slider(s)
[491]	Move slider(s), then click me
[492]	Remove the selected slider
[493]	Switch the sign of the selected slider
[494]	Basically Robotic
[495]	&Yes
[496]	&No
[497]	OK
[498]	Information
[499]	Question
[500]	Warning
[504]	Check for a newer version on program startup.
[600]	Murmelwerk Installer v1.4.1
[601]	Installation folder:
[602]	Create a shortcut on the desktop
[603]	Create shortcuts in the start menu
[604]	Run Murmelwerk after the installation
[605]	Create the shortcuts for all users
[606]	Install %s %s
[607]	The program file could not be copied into the installation folder. Check that the folder name is valid, that you may write to it and that the disk is not full, and then try again.
[608]	Installation of %s %s is now complete.
[609]	Installation Successful
[610]	Are you sure you want to quit the installation?
[611]	Choose the installation folder
[612]	Create a quick-launch shortcut
[613]	Create extended start-menu shortcuts ( help, online help, forum, removal )
[614]	Visit the Murmelwerk forum
[615]	Local Help
[616]	Online Help
[617]	Uninstall %s
[618]	Murmelwerk Remover v1.1
[619]	Click the button below to remove Murmelwerk
[620]	Completely remove %s %s from this machine
[621]	I was unable to remove the executable file
[622]	Fatal-initialization error:
[623]	Would you like to install version %s of %s?
[624]	Would you like to re-install %s %s?
[625]	Unable to execute installed program, will now execute self contained program.
[626]	Would you like to install %s %s?

Yes - install it on this computer and create its shortcuts.
No - run it just this once from where it is now.
Cancel - quit.
[627]	End-User Licence Agreement
[628]	You must read and scroll to the bottom to continue.
[629]	Continue
[630]	I do not accept
[631]	I accept
[720]	On Wayland the mouse measures follow the mouse only while the pointer is over X11 windows, such as Murmelwerk's own.
[721]	No output device can be opened. %s To see the devices, run "aplay -L"; on a PipeWire desktop, install the package "pipewire-alsa".
[722]	Underruns: %s
[723]	The mouse cannot be read (%s), so the mouse measures stand still. Murmelwerk needs an X11 display; on Wayland it runs through XWayland.
[730]	The patch has changes that are not saved. Save them first?
[731]	Unsaved changes
[732]	Recent patches
[733]	Undo
[734]	Redo
[735]	Play Surface (Full Screen)
[736]	Press Esc or F11 to leave the play surface.
[780]	Not everything could be written to the wave file (%s). The file holds what was recorded before the error, and its header says so.
[781]	The recording is incomplete.
[782]	No item selected
[790]	Unable create the rendering context
[791]	Unable make rendering context current
[792]	Unable to initialize stuff
[793]	It failed!
[632]	MURMELWERK 1.0 - END-USER LICENCE AGREEMENT

Please read this agreement to the end. By choosing "I accept" you agree to it. If you do not agree, choose "I do not accept"; the program will then neither be installed nor run.

1. Licence. You may use Murmelwerk on any number of computers, privately or commercially, free of charge. You may copy the program and pass it on to others, unchanged and together with this agreement.

2. Your work. The sounds, recordings and patches that you make with Murmelwerk belong to you. No rights in them are claimed.

3. No warranty. Murmelwerk is provided "as is", without warranty of any kind, express or implied, including but not limited to the warranties of merchantability, fitness for a particular purpose and non-infringement. You use it at your own risk.

4. Limitation of liability. In no event shall the authors or copyright holders be liable for any claim, damages or other liability, whether in an action of contract, tort or otherwise, arising from, out of or in connection with the program or its use.

5. Your hearing and your equipment. Murmelwerk can make loud and sudden sounds. Keep the volume of your speakers or headphones low whenever you try something new. The option "Real-time CPU priority" can make the computer stop responding under heavy load; use it with care.

6. Network. Murmelwerk contacts its web site only to check for a newer version when it starts (you can switch this off under Options) and to send a comment that you have typed yourself and sent with "Send". It sends no other information about you or your computer.

7. Installation and removal. When the program installs itself, it records every file and folder it creates, so that it can remove itself completely again.

8. Termination. This licence ends if you do not keep to it. You may end it at any time by removing the program and all copies of it.

If any part of this agreement cannot be enforced, the other parts remain in effect.

Copyright (C) The Murmelwerk developers.

)MW",
};
// clang-format on

} // namespace

std::span<const std::string_view> EnglishZone() {
    return kPieces;
}

} // namespace mw::builtin_text
