// The built-in language text, zone "[Zone_Deutsch]":
// German (language code 1).
// Every entry is "[number]", a TAB and the text, which runs up to the next line that starts with "[";
// the same 443 numbers stand in every language zone, and every text keeps the % conversions and the
// "&&" of its English original. Texts that end in a blank stand in pieces of their own.
#include "i18n/builtin_language_text.hpp"

namespace mw::builtin_text {
namespace {

// clang-format off
constexpr std::string_view kPieces[] = {
R"MW([Zone_Deutsch]

[0]	Murmelwerk
[1]	Murmelwerk - der Synthesizer, den Sie mit der Maus spielen
[2]	Der Klang ist eingeschaltet.
[3]	Der Klang ist ausgeschaltet.
[4]	Ausblenden
[5]	Start && Ausblenden
[6]	„Start & Ausblenden“ startet den Klang und blendet das Programmfenster vollständig aus, sodass während des Spielens nichts davon auf dem Bildschirm bleibt. Ist das Symbol im Infobereich eingeschaltet (Optionen, Minimierungsoptionen), holt ein Klick darauf das Fenster zurück.
[7]	Start & Ausblenden
[8]	Steuer-Sensibilisierer-Modul
[9]	Neues Modul holen
[10]	Steuer-Modulator-Modul
[11]	Geben Sie einen Namen für dieses Modul ein:
[12]	Ist dies angekreuzt, springt ein Mauszeiger, der einen Bildschirmrand erreicht, zum gegenüberliegenden Rand. So können Sie die Maus beliebig lange in eine Richtung bewegen. Der Sprung selbst zählt weder als Strecke noch als Geschwindigkeit.
[13]	Mauszeiger an den Bildschirmrändern umbrechen
[14]	Gewünschte Latenz
[15]	Eingangslatenz
[16]	Murmelwerk versteht die folgenden Befehlszeilenoptionen. Groß- und Kleinschreibung spielt keine Rolle, und jede Option kann mit oder ohne das führende „-“ geschrieben werden.

-AutoStartOnly
    Startet den Klang, sobald sich das Programm öffnet.

-AutoStartAndHide
    Startet den Klang und blendet das Fenster aus, sobald sich das Programm öffnet. Das Symbol im Infobereich holt das Fenster zurück, wenn es eingeschaltet ist.

-NoInstall
    Führt das Programm an seinem jetzigen Ort aus, ohne die Installation anzubieten.

-RemoveIt
    Entfernt das installierte Programm von diesem Computer.

-MakeNoSound
    „-MakeNoSound“ oder „-MakeNoSound 1“ schaltet die Klangausgabe für diesen Programmlauf stumm, „-MakeNoSound 0“ nicht. Ohne die Option ist der Klang wie gewohnt zu hören.

-WrapMouse
    „-WrapMouse“ oder „-WrapMouse 1“ lässt den Mauszeiger für diesen Programmlauf an den Bildschirmrändern umbrechen, „-WrapMouse 0“ nicht. Ohne die Option entscheidet die gespeicherte Einstellung „Mauszeiger an den Bildschirmrändern umbrechen“ (Optionen).

Keine dieser beiden Angaben wird je gespeichert.
[17]	Befehlszeilenoptionen
)MW",
"[18]\tIhre Maus ruht derzeit: \n",
"[19]\tIhre Maus kriecht derzeit: \n",
"[20]\tIhre Maus geht derzeit: \n",
"[21]\tIhre Maus joggt derzeit: \n",
"[22]\tIhre Maus rennt derzeit: \n",
"[23]\tIhre Maus rast geradezu: \n",
"[24]\tIhre Maus glüht vor Tempo: \n",
R"MW([25]	%u Pixel pro Sekunde.
[26]	Über
[27]	Hilfe
[28]	Einstellungen
[29]	Start
[30]	Stopp
[31]	Wiederherstellen
[32]	Minimieren
[33]	Beenden
[34]	Die Datei, die dieses Programm ausführt, ist beschädigt. Ursache kann ein Festplattenfehler, ein Arbeitsspeicherfehler und/oder ein Virus sein. Bitte laden Sie dieses Programm erneut herunter.
[35]	Maximieren
[36]	Befehlszeilenoptionen
[37]	%.05g Hertz
[38]	Aktuelle Steuerrate:
[39]	Klicken, um ein Modul dieser Art hinzuzufügen
[40]	Statusanzeige
[41]	Was bewirkt das?
[42]	Hingehen
)MW",
"[43]\t\n",
R"MW([44]	Murmelwerk 1.0
Ein Klangsynthesizer, den Sie mit der Computermaus spielen.

Bauen Sie Patches aus Steuer- und Audiomodulen, lassen Sie die Bewegungen Ihrer Maus sie antreiben, und hören Sie zu.

Murmelwerk wird ohne jegliche Gewährleistung geliefert; wählen Sie „Lizenzvertrag anzeigen“, um die Nutzungsbedingungen zu lesen.
[45]	OK
[46]	Abbrechen
[47]	Übernehmen
[48]	Beim Programmstart automatisch zu klingen beginnen.
[49]	Murmelwerk bei der Anmeldung automatisch starten.
[50]	Textdateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*||
[51]	Sprachoptionen
[52]	Optionen
[53]	Ihre Maus hat seit dem Start dieses Programms insgesamt %.00f Pixel zurückgelegt.
[54]	Sprachdatei auswählen
[55]	Eingangssteuerung
[56]	Anstieg
[57]	Abklingen
[58]	Richtung
[59]	Drehträgheit
[60]	Drehträgheit'
[61]	Geschwindigkeit
[62]	Beschleunigung
[63]	Horizontale Position
[64]	Vertikale Position
[65]	Horizontale Geschwindigkeit
[66]	Vertikale Geschwindigkeit
[67]	Horizontale Beschleunigung
[68]	Vertikale Beschleunigung
[69]	Scrollposition
[70]	Scrollgeschwindigkeit
[71]	Scrollbeschleunigung
[72]	Alter Wert:
[73]	Neuer Wert:
[74]	Steuer-Sensibilisierer-Modul %ld
[75]	Steuer-Modulator-Modul %ld
[76]	Effekt
[77]	Vorzeichenbehaftete Ausgabe
[78]	Linearer Eingang
[79]	Modulationsrate: %g Hertz
[80]	Modulationseingang-Steuerung
[81]	Oszillator-Modul %ld
[82]	Frequenz: %g Hertz
[83]	Grundfrequenz
[84]	Frequenzmultiplikator
[85]	Amplitudensteuerung
[86]	Frequenzsteuerung
[87]	-[ Manuell ]-
[88]	Oszillator-Modul
[89]	Ausgabegerät
[90]	Ausgabe-Modul
[91]	Ausgabe-Modul %ld
[92]	Aktuelle Klanglatenz (in Millisekunden):
[93]	Latenzsteuerung
[94]	%ld Millisekunden
[95]	Eingangsmodul
[96]	Eingangsquelle
[97]	Steuer-Echo-Modul
[98]	Steuer-Echo-Modul %ld
[99]	Intervallsteuerung
[100]	Langer Intervallmodus
[101]	Nachklang-Steuerung
[102]	Steuer-Kombinierer-Modul
[103]	Steuer-Kombinierer-Modul %ld
[104]	Eingangsquelle %ld
[105]	Eingangsbereich ( untere / obere Grenze )
[106]	Im angegebenen Bereich halten
[107]	Steuer-Bereich-Modul
[108]	Steuer-Bereich-Modul %ld
[109]	Mausstatus-Anzeigeelemente einblenden
[110]	Rauschstärke-Steuerung
[111]	Wellenform-Steuerung
[112]	MIDI-Eingabegerät
[113]	MIDI-Eingangs-Modul
[114]	MIDI-Eingangs-Modul %ld
[115]	Empfindlichkeit der Steuerung: %ld %%
[116]	Signal statt Anschlagstärke
[117]	Transpositions-Steuerung
[118]	Stimmungs-Steuerung
[119]	Steuer-Nächste-Note-Modul
[120]	Steuer-Nächste-Note-Modul %ld
[121]	Echo-Modul
[122]	Echo-Modul %ld
[123]	Intervall: %g Millisekunden
[124]	Audioeingangs-Modul
[125]	Audioeingangs-Modul %ld
[126]	Das Audio-Eingabegerät wird bereits verwendet und kann daher im Moment nicht benutzt werden.
[127]	Audio-Eingabegerät
[128]	Tonhöhenverschiebungs-Modul
[129]	Tonhöhenverschiebungs-Modul %ld
[130]	Tiefpassfilter einschalten
[131]	Tonhöhen-Steuerung
[132]	Ausgang-%ld
[133]	Überblend-Steuerung
[134]	Ausgangsteiler/Überblend-Modul
[135]	Ausgangsteiler/Überblend-Modul %ld
[136]	Ausgabegerät %ld
[137]	Eingangsmischer/Überblend-Modul
[138]	Eingangsmischer/Überblend-Modul %ld
[139]	Eingangsmodul %ld
[140]	Eingangsverstärkungs-Steuerung
[141]	Mehrfachverzögerungs-Modul
[142]	Mehrfachverzögerungs-Modul %ld
[143]	Wave-Datei:
[144]	Aufnahme
[145]	Gestoppt
[146]	Wave-Dateien (*.wav)|*.wav|Alle Dateien (*.*)|*.*||
[147]	Wave-Schreiber-Modul
[148]	Wave-Schreiber-Modul %ld
[149]	Die Datei konnte nicht zum Schreiben geöffnet werden. Prüfen Sie, ob die Datei nicht in Gebrauch ist, ob der Datenträger nicht voll ist und ob der angegebene Dateipfad gültig ist.
[150]	Die Datei konnte nicht geöffnet werden.
[151]	An Vorhandenes anhängen
[152]	Konfiguration
[153]	Laden
[154]	Speichern unter...
[155]	Murmelwerk-Konfigurationen (*.mwc)|*.mwc;*.mwc_|Alle Dateien (*.*)|*.*||
[156]	Beim Schreiben der Datei ist ein Fehler aufgetreten. Prüfen Sie, ob der Datenträger nicht voll und noch eingebunden ist, und versuchen Sie es dann erneut.
[157]	Beim Schreiben der Datei ist ein Fehler aufgetreten.
[158]	Murmelwerk-Konfiguration (MWC)
[159]	Die Datei konnte nicht zum Lesen geöffnet werden. Prüfen Sie, ob die Datei nicht in Gebrauch ist und ob der angegebene Dateipfad gültig ist.
[160]	Die Datei konnte nicht zum Lesen geöffnet werden.
[161]	Alle aktuellen Module entfernen
[162]	Übersteuerungs-Steuerung
[163]	Kompressions-Steuerung
[164]	Kompressionswellenform-Steuerung
[165]	Rauschtreue-Steuerung
[166]	Verzerrungs-Modul
[167]	Verzerrungs-Modul %ld
[168]	Rampen-Steuerung
[169]	Verzögerung-%ld-Steuerung
[170]	Wird berechnet...
[171]	%ld Prozent fertig
[172]	Durchsuchen...
[173]	Farbpalette
[174]	Alte Farbe:
[175]	Neue Farbe:
[176]	Vorgesehene Farbe:
[177]	Rot:
[178]	Grün:
[179]	Blau:
[180]	Hex (HTML-Stil):
[181]	Minimierungsoptionen
[182]	Einstellungen für den Infobereich
[183]	Symbol im Infobereich anzeigen.
[184]	Nur wenn minimiert.
[185]	Taskleisten-Schaltfläche ausblenden, wenn minimiert.
[186]	Programm kurz nach dem Start minimieren.
[187]	Bei „Schließen“ / „X“ minimieren, nur bei „Beenden“ beenden.
[188]	Minimieren, wenn die Esc-Taste gedrückt wird.
[193]	Die gespeicherte Einstellungsdatei stammt nicht von diesem Programm, es werden die Standardeinstellungen verwendet.
[194]	Die gespeicherte Einstellungsdatei stammt nicht von Murmelwerk Software, es werden die Standardeinstellungen verwendet.
[195]	Die gespeicherte Einstellungsdatei stammt entweder nicht von diesem Programm oder ist keine gespeicherte Einstellungsdatei, es werden die Standardeinstellungen verwendet.
[196]	Die gespeicherte Einstellungsdatei stammt nicht von dieser Version. Trotzdem laden?
[197]	Trotzdem laden?
[199]	Das Hauptfenster beim Ziehen an den Bildschirmrändern einrasten lassen
[200]	Schlichte Farben für die Statusfelder
[201]	Einstellungsdatei:
[202]	Sprachdatei:
[206]	Sprachtexte exportieren...
[207]	Die Sprachtexte konnten nicht in die Datei geschrieben werden.
[209]	Ihr Kommentar konnte nicht gesendet werden. Prüfen Sie, ob dieser Computer mit dem Internet verbunden ist und ob keine Firewall Murmelwerk blockiert, und versuchen Sie es dann erneut.
[210]	Fehler
[211]	Jetzt nach einer neueren Version suchen
[212]	Es gibt eine neuere Version von %s. Möchten Sie mehr darüber erfahren?
[213]	Versionshinweis
[214]	Darstellungseinstellungen
[215]	Hintergrundfarbe der Dialoge:
[216]	Textfarbe der Dialoge:
[217]	Hintergrundfarbe der Module:
[218]	Textfarbe der Module:
[219]	Einige Änderungen werden erst nach einem Neustart des Programms wirksam.
[220]	Hintergrundfarbe normaler Schaltflächen:
[221]	Textfarbe normaler Schaltflächen:
[222]	Hintergrundfarbe der Standardschaltfläche:
[223]	Textfarbe der Standardschaltfläche:
[224]	Hintergrundfarbe fokussierter Schaltflächen:
[225]	Textfarbe fokussierter Schaltflächen:
[226]	Hintergrundfarbe deaktivierter Schaltflächen:
[227]	Textfarbe deaktivierter Schaltflächen:
[228]	Hintergrundfarbe hervorgehobener Schaltflächen:
[229]	Textfarbe hervorgehobener Schaltflächen:
[230]	Hintergrundfarbe inaktiver Schaltflächen:
[231]	Textfarbe inaktiver Schaltflächen:
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
R"MW([242]	Online-Hilfecenter besuchen
[243]	Anzeigemodus
[244]	Beispielkonfiguration mit der Maus
[245]	Beispielkonfiguration mit MIDI
[246]	Beispielkonfiguration mit dem Mikrofon
[247]	Beispielkonfiguration mit Modulation
[248]	Willkommen bei Murmelwerk
[249]	OK
[250]	Danke, dass Sie Murmelwerk ausprobieren, den Synthesizer, den Sie mit der Maus spielen.

Jede Bewegung der Maus - ihre Richtung, Geschwindigkeit, Drehung und Position - kann den Klang steuern. Ein Patch besteht aus kleinen Modulfenstern: Steuermodule formen die Maussignale, Audiomodule erzeugen und verändern den Klang, und ein Ausgabe-Modul (oder jedes Audiomodul mit einem Ausgabegerät) macht ihn hörbar.

Wählen Sie zum Einstieg eine der Beispiel-Schaltflächen unten, drücken Sie dann Start und bewegen Sie die Maus. „Neues Modul holen“ fügt eigene Module hinzu, und „Konfiguration“ lädt und speichert Patches und bietet viele weitere Beispiele.
[251]	Steuer-Versatz-Modul
[252]	Steuer-Versatz-Modul %ld
[253]	Versatz-Steuerung
[254]	Steuer-Verstärkungs-Modul
[255]	Steuer-Verstärkungs-Modul %ld
[256]	Verstärkungs-Steuerung
[257]	Steuer-Eingangs-Modul
[258]	Steuer-Eingangs-Modul %ld
[259]	BPM-Steuerung
[260]	Notenlängen-Steuerung
[261]	Anschlagstärke-Steuerung
[262]	Notenfolge
[263]	So schreiben Sie eine Notenfolge
[264]	Schreiben Sie die Noten nacheinander als [Note][Oktave]: einen Buchstaben von A bis G (B steht für H), dahinter ein "#" für einen Halbton höher, dann die Oktave als eine Ziffer von 0 bis 9. Ein Leerzeichen steht für eine leere Note (eine Pause von einem Schritt). Bindestriche trennen Noten ohne Pause, zum Beispiel C4-E4-G4 C5. Andere Zeichen werden ignoriert. Noten, die auf dem Noten-Fänger-Eingabegerät gespielt werden, werden an die Folge angehängt.
[265]	Steuer-Sequenz-Modul
[266]	Steuer-Sequenz-Modul %ld
[267]	Noten-Steuerung
[268]	Ding-Dong-Modul
[269]	Ding-Dong-Modul %ld
[270]	Steuer-Sensor-Modul
[271]	S %ld
[272]	Schwerkraft
[273]	Polarität
[274]	Vorzeichenbehaftet
[275]	Steuer-Noten-Kombinierer-Modul
[276]	Steuer-Noten-Kombinierer-Modul %ld
[277]	Halten
[278]	Winkel
[279]	Steuer-Tiefensperre-Modul
[280]	Steuer-Tiefensperre-Modul %ld
[281]	Tiefensperrfrequenz-Steuerung
[282]	Steuer-Noten-Verzögerer-Modul
[283]	Steuer-Noten-Verzögerer-Modul %ld
[284]	Verzögerungs-Steuerung
[285]	-[ Woher die letzte Note kam ]-
[286]	Ausgabe-Analysator-Modul
[287]	Ausgabe-Analysator-Modul %ld
[288]	Analysator
[289]	Oszilloskop
[290]	Phasen-Steuerung
[291]	Beispielkonfiguration mit Sequenz
[292]	Noten-Fänger-Eingangsquelle ( optional )
[293]	Hintergrundfarbe der Modul-Auswahllisten:
[294]	Textfarbe der Modul-Auswahllisten:
[295]	Höchstfrequenz-Steuerung
[296]	Tiefpass-Modul
[297]	Tiefpass-Modul %ld
[298]	Dämpfungs-Steuerung
[299]	Hochpass-Modul
[300]	Hochpass-Modul %ld
[301]	Steuer-Quelle
[302]	Steuer-Effekt
[303]	Audio-Quelle
[304]	Audio-Effekt
[305]	Audio-Sonstiges
[306]	Umgekehrte Notenausrichtung
[307]	Verzögerungsquellen-Steuerung
[308]	Anschlagstärke von Eingang %ld
[309]	Geschwindigkeit ( roh )
[310]	Wave-Datei auswählen
[317]	Soll ich mich lieber im Infobereich verstecken, statt nur zu minimieren?
[318]	In den Infobereich minimieren?
[321]	Wenn Sie auf das X klicken, soll ich das Programm dann schließen oder lieber minimieren?\r\n\r\nJa - beim X schließen.\r\n\r\nNein - beim X minimieren.
[322]	Schließen oder minimieren?
[323]	Soll ich minimieren, wenn die Esc-Taste gedrückt wird?
[324]	Bei Esc minimieren?
[400]	Energiefunktion
[401]	Ein-/Ausgangsverhältnis-Steuerung
[402]	Entladerate-Steuerung
[403]	Schwellwert-Steuerung
[404]	Durchlass-Steuerung
[405]	Leck-Steuerung
[406]	Dendrit-%ld-Steuerung
[407]	Steuer-Neuron-Modul
[408]	Steuer-Neuron-Modul %ld
[409]	Alle Eingänge positiv machen
[410]	Abtastrate der Steuerdaten
[411]	Linear ( Identität )
[412]	Audio-Stufenfunktions-Modul
[413]	Audio-Stufenfunktions-Modul %ld
[414]	Steuer-Stufenfunktions-Modul
[415]	Steuer-Stufenfunktions-Modul %ld
[416]	Stufengrößen-Steuerung
[417]	Horizontale Richtung ( ohne Vorzeichen )
[418]	Horizontale Richtung ( mit Vorzeichen )
[419]	Vertikale Richtung ( ohne Vorzeichen )
[420]	Vertikale Richtung ( mit Vorzeichen )
[421]	Eingang-%ld-Steuerung
[422]	Polyphonisierer-Modul
[423]	Polyphonisierer-Modul %ld
[424]	Bitte um Kommentare
[425]	Senden
[426]	Diesen Dialog künftig nicht mehr anzeigen
[427]	Was gefällt Ihnen an Murmelwerk, was fehlt, was ist schiefgegangen? Schreiben Sie Ihren Kommentar unten und drücken Sie „Senden“.
[428]	Datenschutz: Gesendet wird nur der Text, den Sie eingeben, unverschlüsselt an die Murmelwerk-Website, die dabei wie bei jeder Webanfrage auch Ihre Netzwerkadresse sieht. Sonst wird nichts über Sie oder Ihren Computer gesendet.
[429]	Vielen Dank!
[430]	Vielen Dank für Ihren Kommentar!
[431]	Echtzeit-CPU-Priorität für die Klangberechnung ( wirkt nach einem Neustart des Klangs. Warnung: Kann das System bei hoher Last und/oder bei einer Störung einfrieren. ).
[432]	Ausgabemodus
[433]	Anstiegs-Steuerung
[434]	Steuerung des Verhältnisses Anstiegspegel zu Anschlagstärke
[435]	Abkling-Steuerung
[436]	Halte-Steuerung
[437]	Steuer-Noten-Hüllkurven-Modul
[438]	Steuer-Noten-Hüllkurven-Modul %ld
[439]	Ausklang-Steuerung
[440]	Glättungs-Steuerung
[441]	Anschlagstärke des Eingangs
[442]	Ausgabebereich ( untere / obere Grenze )
[443]	%g Millisekunden
[444]	%g Halbtöne
[445]	%g Cent
[446]	%g Schläge pro Minute
[447]	Anschlagstärke: %g
[448]	Untere Grenze: %g
[449]	Obere Grenze: %g
[450]	Wert: %g
[451]	%g %%
[452]	Mit Mikrofon
[453]	Mit MIDI
[454]	Mit Modulation
[455]	Mit der Maus
[456]	Mit Neuronen
[457]	Mit Sequenzen
[458]	Einfache Tonhöhe und Echo
[459]	Luftsäge
[460]	Luft-Synth
[461]	Verzerrte Luft
[462]	Verzerrte Luft ( atembar )
[463]	Einfaches Orgel-Ding
[464]	Weltraumzirkus wird den Notenabfluss hinuntergespült
[465]	Weltraumzirkus der verwirrten Tonalität
[466]	Mit Modulation
[467]	Tierisch 1
[468]	Tierisch 2
[469]	Fernes Signal
[470]	Schwindel
[471]	Plastik-Handsäge
[472]	Verdreht
[473]	Digitale Modulation
[474]	Fallrohr träumt von Regen
[475]	Kräftiger Elektromotor
[476]	Staubsauger aus dem Weltall
[477]	Neuronischer Beat
[478]	Auch ABCs können grooven
[479]	Mikromechanik
[480]	Bestehende Installation aktualisieren ( ihre Einstellungsdatei behalten )
[481]	Rückmeldung senden
[482]	Lizenzvertrag anzeigen
[483]	Einführungs-Tutorials
[484]	MIDI-Regler-Modul
[485]	MIDI-Regler-Modul %ld
[486]	Regler %ld
[487]	Controller
[488]	Wert
[489]	Vorzeichen
[490]	Regler hinzufügen
[491]	Regler bewegen, dann hier klicken
[492]	Ausgewählten Regler entfernen
[493]	Vorzeichen des ausgewählten Reglers umschalten
[494]	Ziemlich robotisch
[495]	&Ja
[496]	&Nein
[497]	OK
[498]	Information
[499]	Frage
[500]	Warnung
[504]	Beim Programmstart nach einer neueren Version suchen.
[600]	Murmelwerk-Installationsprogramm v1.4.1
[601]	Installationsordner:
[602]	Verknüpfung auf dem Desktop anlegen
[603]	Verknüpfungen im Startmenü anlegen
[604]	Murmelwerk nach der Installation starten
[605]	Verknüpfungen für alle Benutzer anlegen
[606]	%s %s installieren
[607]	Die Programmdatei konnte nicht in den Installationsordner kopiert werden. Prüfen Sie, ob der Ordnername gültig ist, ob Sie darin schreiben dürfen und ob der Datenträger nicht voll ist, und versuchen Sie es dann erneut.
[608]	Die Installation von %s %s ist abgeschlossen.
[609]	Installation erfolgreich
[610]	Möchten Sie die Installation wirklich abbrechen?
[611]	Installationsordner auswählen
[612]	Schnellstart-Verknüpfung anlegen
[613]	Erweiterte Startmenü-Verknüpfungen anlegen ( Hilfe, Online-Hilfe, Forum, Entfernen )
[614]	Das Murmelwerk-Forum besuchen
[615]	Lokale Hilfe
[616]	Online-Hilfe
[617]	%s deinstallieren
[618]	Murmelwerk-Entfernungsprogramm v1.1
[619]	Klicken Sie auf die Schaltfläche unten, um Murmelwerk zu entfernen
[620]	%s %s vollständig von diesem Computer entfernen
[621]	Die Programmdatei konnte nicht entfernt werden
[622]	Schwerer Initialisierungsfehler:
[623]	Möchten Sie Version %s von %s installieren?
[624]	Möchten Sie %s %s erneut installieren?
[625]	Das installierte Programm kann nicht ausgeführt werden, stattdessen wird das eigenständige Programm ausgeführt.
[626]	Möchten Sie %s %s installieren?

Ja - auf diesem Computer installieren und die Verknüpfungen anlegen.
Nein - nur dieses eine Mal von seinem jetzigen Ort aus ausführen.
Abbrechen - beenden.
[627]	Endbenutzer-Lizenzvertrag
[628]	Sie müssen den Text lesen und bis zum Ende blättern, um fortzufahren.
[629]	Weiter
[630]	Ich lehne ab
[631]	Ich stimme zu
[720]	Unter Wayland folgen die Mauswerte der Maus nur, solange der Zeiger über X11-Fenstern steht, etwa den Fenstern von Murmelwerk.
[721]	Kein Ausgabegerät lässt sich öffnen. %s Die Geräte listet "aplay -L" auf; auf einem PipeWire-Desktop installieren Sie das Paket "pipewire-alsa".
[722]	Aussetzer: %s
[723]	Die Maus lässt sich nicht lesen (%s), daher stehen die Mauswerte still. Murmelwerk braucht eine X11-Anzeige; unter Wayland läuft es über XWayland.
[730]	Das Patch hat ungespeicherte Änderungen. Zuerst speichern?
[731]	Ungespeicherte Änderungen
[732]	Zuletzt verwendete Patches
[733]	Rückgängig
[734]	Wiederholen
[735]	Spielfläche (Vollbild)
[736]	Mit Esc oder F11 verlassen Sie die Spielfläche.
[780]	Nicht alles ließ sich in die Wave-Datei schreiben (%s). Die Datei enthält, was vor dem Fehler aufgenommen wurde, und ihr Kopf gibt das richtig an.
[781]	Die Aufnahme ist unvollständig.
[782]	Kein Eintrag ausgewählt
[790]	Der Darstellungskontext lässt sich nicht erzeugen
[791]	Der Darstellungskontext lässt sich nicht aktivieren
[792]	OpenGL lässt sich nicht einrichten
[793]	Es ist fehlgeschlagen!
[632]	MURMELWERK 1.0 - ENDBENUTZER-LIZENZVERTRAG

Bitte lesen Sie diesen Vertrag bis zum Ende. Mit „Ich stimme zu“ erklären Sie sich mit ihm einverstanden. Wenn Sie nicht einverstanden sind, wählen Sie „Ich lehne ab“; das Programm wird dann weder installiert noch ausgeführt.

1. Lizenz. Sie dürfen Murmelwerk kostenlos auf beliebig vielen Computern nutzen, privat wie gewerblich. Sie dürfen das Programm kopieren und an andere weitergeben, unverändert und zusammen mit diesem Vertrag.

2. Ihre Werke. Die Klänge, Aufnahmen und Patches, die Sie mit Murmelwerk erstellen, gehören Ihnen. Es werden keine Rechte daran beansprucht.

3. Keine Gewährleistung. Murmelwerk wird „wie besehen“ bereitgestellt, ohne ausdrückliche oder stillschweigende Gewährleistung jeglicher Art, einschließlich, aber nicht beschränkt auf die Gewährleistung der Marktgängigkeit, der Eignung für einen bestimmten Zweck und der Nichtverletzung von Rechten Dritter. Die Nutzung erfolgt auf Ihr eigenes Risiko.

4. Haftungsbeschränkung. Die Autoren oder Rechteinhaber haften in keinem Fall für Ansprüche, Schäden oder sonstige Verpflichtungen, ob aus Vertrag, unerlaubter Handlung oder anderweitig, die aus dem Programm oder seiner Nutzung oder im Zusammenhang damit entstehen.

5. Ihr Gehör und Ihre Geräte. Murmelwerk kann laute und plötzliche Klänge erzeugen. Halten Sie die Lautstärke Ihrer Lautsprecher oder Kopfhörer niedrig, wann immer Sie etwas Neues ausprobieren. Die Option „Echtzeit-CPU-Priorität“ kann den Computer bei hoher Last zum Stillstand bringen; verwenden Sie sie mit Bedacht.

6. Netzwerk. Murmelwerk verbindet sich mit seiner Website nur, um beim Start nach einer neueren Version zu suchen (abschaltbar unter „Optionen“), und um einen Kommentar zu senden, den Sie selbst geschrieben und mit „Senden“ abgeschickt haben. Es sendet keine weiteren Informationen über Sie oder Ihren Computer.

7. Installation und Entfernung. Wenn sich das Programm selbst installiert, verzeichnet es jede Datei und jeden Ordner, die es anlegt, damit es sich später wieder vollständig entfernen kann.

8. Beendigung. Diese Lizenz erlischt, wenn Sie sich nicht an sie halten. Sie können sie jederzeit beenden, indem Sie das Programm und alle Kopien davon entfernen.

Sollte ein Teil dieses Vertrags nicht durchsetzbar sein, bleiben die übrigen Teile wirksam.

Copyright (C) Die Murmelwerk-Entwickler.

)MW",
};
// clang-format on

} // namespace

std::span<const std::string_view> DeutschZone() {
    return kPieces;
}

} // namespace mw::builtin_text
