// The built-in language text, zone "[Zone_Francais]":
// French (language code 2).
// Every entry is "[number]", a TAB and the text, which runs up to the next line that starts with "[";
// the same 443 numbers stand in every language zone, and every text keeps the % conversions and the
// "&&" of its English original. Texts that end in a blank stand in pieces of their own.
#include "i18n/builtin_language_text.hpp"

namespace mw::builtin_text {
namespace {

// clang-format off
constexpr std::string_view kPieces[] = {
R"MW([Zone_Francais]

[0]	Murmelwerk
[1]	Murmelwerk - le synthétiseur qui se joue à la souris
[2]	Le son est activé.
[3]	Le son est coupé.
[4]	Masquer
[5]	Démarrer && masquer
[6]	« Démarrer & masquer » démarre le son et masque entièrement la fenêtre du programme, de sorte que rien n'en reste à l'écran pendant que vous jouez. Si l'icône de la zone de notification est activée (Options, Options de réduction), un clic sur celle-ci fait réapparaître la fenêtre.
[7]	Démarrer & masquer
[8]	Module Sensibilisateur de contrôle
[9]	Ajouter un module
[10]	Module Modulateur de contrôle
[11]	Indiquez un nom pour ce module :
[12]	Lorsque cette case est cochée, le pointeur de la souris qui atteint un bord de l'écran réapparaît au bord opposé : vous pouvez ainsi déplacer la souris dans une même direction aussi longtemps que vous le souhaitez. Le saut lui-même ne compte ni comme distance ni comme vitesse.
[13]	Faire passer le pointeur d'un bord de l'écran à l'autre
[14]	Latence souhaitée
[15]	Latence d'entrée
[16]	Murmelwerk comprend les options de ligne de commande suivantes. La casse des lettres n'a pas d'importance, et chaque option peut s'écrire avec ou sans le « - » initial.

-AutoStartOnly
    Démarre le son dès l'ouverture du programme.

-AutoStartAndHide
    Démarre le son et masque la fenêtre dès l'ouverture du programme. L'icône de la zone de notification, si elle est activée, fait réapparaître la fenêtre.

-NoInstall
    Exécute le programme depuis son emplacement actuel, sans proposer de l'installer.

-RemoveIt
    Supprime le programme installé de cet ordinateur.

-MakeNoSound
    « -MakeNoSound » ou « -MakeNoSound 1 » coupe la sortie du son pour cette exécution ; « -MakeNoSound 0 » ne la coupe pas. Sans l'option, le son s'entend comme d'habitude.

-WrapMouse
    « -WrapMouse » ou « -WrapMouse 1 » fait passer le pointeur d'un bord de l'écran à l'autre pour cette exécution ; « -WrapMouse 0 » non. Sans l'option, le réglage enregistré « Faire passer le pointeur d'un bord de l'écran à l'autre » (Options) décide.

Aucune de ces deux indications n'est jamais enregistrée.
[17]	Options de ligne de commande
)MW",
"[18]\tVotre souris est actuellement immobile à \n",
"[19]\tVotre souris rampe actuellement à \n",
"[20]\tVotre souris marche actuellement à \n",
"[21]\tVotre souris trottine actuellement à \n",
"[22]\tVotre souris court actuellement à \n",
"[23]\tVotre souris file à toute allure à \n",
"[24]\tVotre souris prend feu à \n",
R"MW([25]	%u pixels par seconde.
[26]	À propos
[27]	Aide
[28]	Préférences
[29]	Démarrer
[30]	Arrêter
[31]	Restaurer
[32]	Réduire
[33]	Quitter
[34]	Le fichier qui exécute ce programme est endommagé. Cela peut être dû à une erreur de disque, une erreur de mémoire vive et/ou un virus. Veuillez télécharger ce programme à nouveau.
[35]	Agrandir
[36]	Options de ligne de commande
[37]	%.05g hertz
[38]	Fréquence de contrôle actuelle :
[39]	Cliquez pour ajouter un module de ce type
[40]	Affichage d'état
[41]	À quoi cela sert-il ?
[42]	Y aller
)MW",
"[43]\t\n",
R"MW([44]	Murmelwerk 1.0
Un synthétiseur sonore qui se joue avec la souris de l'ordinateur.

Construisez des patches à partir de modules de contrôle et de modules audio, laissez les mouvements de votre souris les piloter, et écoutez.

Murmelwerk est fourni sans aucune garantie ; choisissez « Voir la licence » pour lire les conditions d'utilisation.
[45]	OK
[46]	Annuler
[47]	Appliquer
[48]	Commencer à jouer automatiquement au démarrage du programme.
[49]	Démarrer Murmelwerk automatiquement à l'ouverture de ma session.
[50]	Fichiers texte (*.txt)|*.txt|Tous les fichiers (*.*)|*.*||
[51]	Options de langue
[52]	Options
[53]	Votre souris a parcouru au total %.00f pixels depuis le démarrage de ce programme.
[54]	Choisir un fichier de textes de langue
[55]	Contrôle de l'entrée
[56]	Attaque
[57]	Déclin
[58]	Direction
[59]	Inertie de rotation
[60]	Inertie de rotation'
[61]	Vitesse
[62]	Accélération
[63]	Position horizontale
[64]	Position verticale
[65]	Vitesse horizontale
[66]	Vitesse verticale
[67]	Accélération horizontale
[68]	Accélération verticale
[69]	Position de la molette
[70]	Vitesse de la molette
[71]	Accélération de la molette
[72]	Ancienne valeur :
[73]	Nouvelle valeur :
[74]	Module Sensibilisateur de contrôle %ld
[75]	Module Modulateur de contrôle %ld
[76]	Effet
[77]	Sortie signée
[78]	Entrée linéaire
[79]	Fréquence de modulation : %g hertz
[80]	Contrôle de l'entrée de modulation
[81]	Module Oscillateur %ld
[82]	Fréquence : %g hertz
[83]	Fréquence de base
[84]	Multiplicateur de fréquence
[85]	Contrôle de l'amplitude
[86]	Contrôle de la fréquence
[87]	-[ Manuel ]-
[88]	Module Oscillateur
[89]	Périphérique de sortie
[90]	Module Sortie
[91]	Module Sortie %ld
[92]	Latence sonore actuelle (en millisecondes) :
[93]	Contrôle de la latence
[94]	%ld millisecondes
[95]	Module d'entrée
[96]	Source d'entrée
[97]	Module Écho de contrôle
[98]	Module Écho de contrôle %ld
[99]	Contrôle de l'intervalle
[100]	Mode intervalle long
[101]	Contrôle de la persistance
[102]	Module Combinaison de contrôle
[103]	Module Combinaison de contrôle %ld
[104]	Source d'entrée %ld
[105]	Plage d'entrée ( limite inférieure / supérieure )
[106]	Rester dans la plage indiquée
[107]	Module Plage de contrôle
[108]	Module Plage de contrôle %ld
[109]	Afficher les indicateurs d'état de la souris
[110]	Contrôle de l'intensité du bruit
[111]	Contrôle de la forme d'onde
[112]	Périphérique d'entrée MIDI
[113]	Module Entrée MIDI
[114]	Module Entrée MIDI %ld
[115]	Sensibilité du contrôle : %ld %%
[116]	Signal au lieu de la vélocité
[117]	Contrôle de la transposition
[118]	Contrôle de l'accord
[119]	Module Note la plus proche de contrôle
[120]	Module Note la plus proche de contrôle %ld
[121]	Module Écho
[122]	Module Écho %ld
[123]	Intervalle : %g millisecondes
[124]	Module Entrée audio
[125]	Module Entrée audio %ld
[126]	Le périphérique d'entrée audio est déjà utilisé et ne peut donc pas servir pour le moment.
[127]	Périphérique d'entrée audio
[128]	Module Transposition de hauteur
[129]	Module Transposition de hauteur %ld
[130]	Activer le filtre passe-bas
[131]	Contrôle de la hauteur
[132]	Sortie-%ld
[133]	Contrôle du fondu
[134]	Module Répartiteur/fondu de sortie
[135]	Module Répartiteur/fondu de sortie %ld
[136]	Périphérique de sortie %ld
[137]	Module Mélangeur/fondu d'entrées
[138]	Module Mélangeur/fondu d'entrées %ld
[139]	Module d'entrée %ld
[140]	Contrôle du gain d'entrée
[141]	Module Retard multiple
[142]	Module Retard multiple %ld
[143]	Fichier wave :
[144]	Enregistrement
[145]	Arrêté
[146]	Fichiers wave (*.wav)|*.wav|Tous les fichiers (*.*)|*.*||
[147]	Module Enregistreur wave
[148]	Module Enregistreur wave %ld
[149]	Le fichier n'a pas pu être ouvert en écriture. Vérifiez que le fichier n'est pas utilisé, que le disque n'est pas plein et que le chemin indiqué est valide.
[150]	Le fichier n'a pas pu être ouvert.
[151]	Ajouter au fichier existant
[152]	Configuration
[153]	Charger
[154]	Enregistrer sous...
[155]	Configurations Murmelwerk (*.mwc)|*.mwc;*.mwc_|Tous les fichiers (*.*)|*.*||
[156]	Une erreur s'est produite lors de l'écriture du fichier. Vérifiez que le disque n'est pas plein et qu'il est toujours monté, puis réessayez.
[157]	Une erreur s'est produite lors de l'écriture du fichier.
[158]	Configuration Murmelwerk (MWC)
[159]	Le fichier n'a pas pu être ouvert en lecture. Vérifiez que le fichier n'est pas utilisé et que le chemin indiqué est valide.
[160]	Le fichier n'a pas pu être ouvert en lecture.
[161]	Supprimer tous les modules actuels
[162]	Contrôle de la saturation
[163]	Contrôle de la compression
[164]	Contrôle de la forme d'onde de compression
[165]	Contrôle de la fidélité du bruit
[166]	Module Distorsion
[167]	Module Distorsion %ld
[168]	Contrôle de la rampe
[169]	Contrôle du retard %ld
[170]	Calcul en cours...
[171]	%ld pour cent effectués
[172]	Parcourir...
[173]	Palette de couleurs
[174]	Ancienne couleur :
[175]	Nouvelle couleur :
[176]	Couleur envisagée :
[177]	Rouge :
[178]	Vert :
[179]	Bleu :
[180]	Hexadécimal (style HTML) :
[181]	Options de réduction
[182]	Zone de notification
[183]	Afficher l'icône dans la zone de notification.
[184]	Seulement si la fenêtre est réduite.
[185]	Masquer le bouton de la barre des tâches si la fenêtre est réduite.
[186]	Réduire le programme peu après son démarrage.
[187]	Réduire lors de « Fermer » / « X », ne quitter que si « Quitter » est choisi.
[188]	Réduire lorsque la touche Échap est enfoncée.
[193]	Le fichier de paramètres enregistré ne provient pas de ce programme, les paramètres par défaut seront utilisés.
[194]	Le fichier de paramètres enregistré ne provient pas de Murmelwerk Software, les paramètres par défaut seront utilisés.
[195]	Le fichier de paramètres enregistré ne provient pas de ce programme, ou n'est pas un fichier de paramètres, les paramètres par défaut seront utilisés.
[196]	Le fichier de paramètres enregistré ne provient pas de cette version. Le charger quand même ?
[197]	Charger quand même ?
[199]	Coller la fenêtre principale aux bords de l'écran pendant son déplacement
[200]	Couleurs sobres pour les champs d'état
[201]	Fichier de paramètres :
[202]	Fichier de textes de langue :
[206]	Exporter les textes de langue...
[207]	Les textes de langue n'ont pas pu être écrits dans le fichier.
[209]	Votre commentaire n'a pas pu être envoyé. Vérifiez que cet ordinateur est connecté à Internet et qu'aucun pare-feu ne bloque Murmelwerk, puis réessayez.
[210]	Erreur
[211]	Rechercher une nouvelle version maintenant
[212]	Une nouvelle version de %s est disponible. Voulez-vous en savoir plus ?
[213]	Avis de version
[214]	Préférences visuelles
[215]	Couleur de fond des dialogues :
[216]	Couleur du texte des dialogues :
[217]	Couleur de fond des modules :
[218]	Couleur du texte des modules :
[219]	Certaines modifications ne prendront effet qu'au redémarrage du programme.
[220]	Couleur de fond des boutons normaux :
[221]	Couleur du texte des boutons normaux :
[222]	Couleur de fond du bouton par défaut :
[223]	Couleur du texte du bouton par défaut :
[224]	Couleur de fond des boutons actifs :
[225]	Couleur du texte des boutons actifs :
[226]	Couleur de fond des boutons désactivés :
[227]	Couleur du texte des boutons désactivés :
[228]	Couleur de fond des boutons survolés :
[229]	Couleur du texte des boutons survolés :
[230]	Couleur de fond des boutons inactifs :
[231]	Couleur du texte des boutons inactifs :
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
R"MW([242]	Consulter le centre d'aide en ligne
[243]	Mode d'affichage
[244]	Exemple de configuration à la souris
[245]	Exemple de configuration MIDI
[246]	Exemple de configuration au microphone
[247]	Exemple de configuration par modulation
[248]	Bienvenue dans Murmelwerk
[249]	OK
[250]	Merci d'essayer Murmelwerk, le synthétiseur qui se joue à la souris.

Chaque mouvement de la souris - sa direction, sa vitesse, sa rotation et sa position - peut piloter le son. Un patch se compose de petites fenêtres de modules : les modules de contrôle façonnent les signaux de la souris, les modules audio produisent et transforment le son, et un module Sortie (ou tout module audio doté d'un périphérique de sortie) vous le fait entendre.

Pour commencer, choisissez l'un des boutons d'exemple ci-dessous, puis appuyez sur Démarrer et bougez la souris. « Ajouter un module » ajoute vos propres modules, et « Configuration » charge et enregistre des patches et propose bien d'autres exemples.
[251]	Module Décalage de contrôle
[252]	Module Décalage de contrôle %ld
[253]	Contrôle du décalage
[254]	Module Gain de contrôle
[255]	Module Gain de contrôle %ld
[256]	Contrôle du gain
[257]	Module Entrée de contrôle
[258]	Module Entrée de contrôle %ld
[259]	Contrôle du tempo (BPM)
[260]	Contrôle de la durée des notes
[261]	Contrôle de la vélocité des notes
[262]	Suite de notes
[263]	Comment écrire une suite de notes
[264]	Écrivez les notes l'une après l'autre sous la forme [Note][octave] : une lettre de A à G (notation anglaise : A = la, B = si, C = do...), suivie éventuellement d'un "#" pour un demi-ton plus haut, puis l'octave, un chiffre de 0 à 9. Une espace représente une note vide (un silence d'un pas). Les traits d'union séparent les notes sans pause, par exemple C4-E4-G4 C5. Les autres caractères sont ignorés. Les notes jouées sur le périphérique d'entrée de capture de notes sont ajoutées à la suite.
[265]	Module Séquence de contrôle
[266]	Module Séquence de contrôle %ld
[267]	Contrôle de la note
[268]	Module Ding-dong
[269]	Module Ding-dong %ld
[270]	Module Capteur de contrôle
[271]	S %ld
[272]	Gravité
[273]	Polarité
[274]	Signé
[275]	Module Combinaison de notes de contrôle
[276]	Module Combinaison de notes de contrôle %ld
[277]	Maintien
[278]	Angle
[279]	Module Coupe-bas de contrôle
[280]	Module Coupe-bas de contrôle %ld
[281]	Contrôle de la fréquence de coupure basse
[282]	Module Retardateur de notes de contrôle
[283]	Module Retardateur de notes de contrôle %ld
[284]	Contrôle du retardement
[285]	-[ D'où vient la dernière note ]-
[286]	Module Analyseur de sortie
[287]	Module Analyseur de sortie %ld
[288]	Analyseur
[289]	Oscilloscope
[290]	Contrôle de la phase
[291]	Exemple de configuration par séquence
[292]	Source d'entrée de capture de notes ( facultative )
[293]	Couleur de fond des listes déroulantes des modules :
[294]	Couleur du texte des listes déroulantes des modules :
[295]	Contrôle de la fréquence maximale
[296]	Module Passe-bas
[297]	Module Passe-bas %ld
[298]	Contrôle de l'atténuation
[299]	Module Passe-haut
[300]	Module Passe-haut %ld
[301]	Source de contrôle
[302]	Effet de contrôle
[303]	Source audio
[304]	Effet audio
[305]	Audio - autres
[306]	Orientation des notes inversée
[307]	Contrôle de la source de retardement
[308]	Vélocité de l'entrée %ld
[309]	Vitesse ( brute )
[310]	Choisir un fichier wave
[317]	Préférez-vous que je me cache dans la zone de notification plutôt que de simplement me réduire ?
[318]	Réduire dans la zone de notification ?
[321]	Lorsque vous cliquez sur le X, préférez-vous que je me ferme ou que je me réduise ?\r\n\r\nOui - fermer avec le X.\r\n\r\nNon - réduire avec le X.
[322]	Fermer ou réduire ?
[323]	Voulez-vous que je me réduise lorsque la touche Échap est enfoncée ?
[324]	Réduire avec Échap ?
[400]	Fonction d'énergie
[401]	Contrôle du rapport entrée/sortie
[402]	Contrôle du taux de décharge
[403]	Contrôle du seuil
[404]	Contrôle de la transmission directe
[405]	Contrôle de la fuite
[406]	Contrôle de la dendrite %ld
[407]	Module Neurone de contrôle
[408]	Module Neurone de contrôle %ld
[409]	Rendre toutes les entrées positives
[410]	Fréquence d'échantillonnage des données de contrôle
[411]	Linéaire ( identité )
[412]	Module Fonction en escalier audio
[413]	Module Fonction en escalier audio %ld
[414]	Module Fonction en escalier de contrôle
[415]	Module Fonction en escalier de contrôle %ld
[416]	Contrôle de la taille des paliers
[417]	Direction horizontale ( non signée )
[418]	Direction horizontale ( signée )
[419]	Direction verticale ( non signée )
[420]	Direction verticale ( signée )
[421]	Contrôle de l'entrée %ld
[422]	Module Polyphoniseur
[423]	Module Polyphoniseur %ld
[424]	Vos commentaires
[425]	Envoyer
[426]	À l'avenir, ne plus afficher ce dialogue
[427]	Qu'aimez-vous dans Murmelwerk, que manque-t-il, qu'est-ce qui n'a pas fonctionné ? Saisissez votre commentaire ci-dessous et appuyez sur « Envoyer ».
[428]	Confidentialité : seul le texte que vous saisissez est envoyé, sans chiffrement, au site web de Murmelwerk, qui voit aussi votre adresse réseau comme lors de toute requête web. Rien d'autre vous concernant ou concernant votre ordinateur n'est envoyé.
[429]	Merci !
[430]	Merci pour votre commentaire !
[431]	Priorité processeur temps réel pour le calcul du son ( prend effet au redémarrage du son. Attention : peut bloquer le système en cas de forte charge et/ou d'incident. ).
[432]	Mode de sortie
[433]	Contrôle de l'attaque
[434]	Contrôle du rapport niveau d'attaque / vélocité
[435]	Contrôle du déclin
[436]	Contrôle du maintien
[437]	Module Enveloppe de notes de contrôle
[438]	Module Enveloppe de notes de contrôle %ld
[439]	Contrôle du relâchement
[440]	Contrôle du lissage
[441]	Vélocité de l'entrée
[442]	Plage de sortie ( limite inférieure / supérieure )
[443]	%g millisecondes
[444]	%g demi-tons
[445]	%g cents
[446]	%g battements par minute
[447]	Vélocité : %g
[448]	Limite inférieure : %g
[449]	Limite supérieure : %g
[450]	Valeur : %g
[451]	%g %%
[452]	Au microphone
[453]	Au MIDI
[454]	Par modulation
[455]	À la souris
[456]	Par neurones
[457]	Par séquence
[458]	Hauteur et écho simples
[459]	Scie aérienne
[460]	Synthé aérien
[461]	Air distordu
[462]	Air distordu ( respirable )
[463]	Simple petit orgue
[464]	Le cirque spatial part dans le siphon à notes
[465]	Cirque spatial à la tonalité confuse
[466]	Avec modulation
[467]	Animal 1
[468]	Animal 2
[469]	Signal lointain
[470]	Vertige
[471]	Scie égoïne en plastique
[472]	Tordu
[473]	Modulation numérique
[474]	La gouttière rêve de pluie
[475]	Puissant moteur électrique
[476]	Aspirateur venu de l'espace
[477]	Battement neuronal
[478]	L'ABC qui groove
[479]	Micromécanique
[480]	Mettre à jour une installation existante ( conserver son fichier de paramètres )
[481]	Envoyer un commentaire
[482]	Voir la licence
[483]	Tutoriels pour débuter
[484]	Module Curseurs MIDI
[485]	Module Curseurs MIDI %ld
[486]	Curseur %ld
[487]	Contrôleur
[488]	Valeur
[489]	Signe
[490]	Ajouter des curseurs
[491]	Bougez les curseurs, puis cliquez ici
[492]	Supprimer le curseur sélectionné
[493]	Inverser le signe du curseur sélectionné
[494]	Plutôt robotique
[495]	&Oui
[496]	&Non
[497]	OK
[498]	Information
[499]	Question
[500]	Avertissement
[504]	Rechercher une nouvelle version au démarrage du programme.
[600]	Programme d'installation de Murmelwerk v1.4.1
[601]	Dossier d'installation :
[602]	Créer un raccourci sur le bureau
[603]	Créer des raccourcis dans le menu Démarrer
[604]	Lancer Murmelwerk après l'installation
[605]	Créer les raccourcis pour tous les utilisateurs
[606]	Installer %s %s
[607]	Le fichier du programme n'a pas pu être copié dans le dossier d'installation. Vérifiez que le nom du dossier est valide, que vous avez le droit d'y écrire et que le disque n'est pas plein, puis réessayez.
[608]	L'installation de %s %s est terminée.
[609]	Installation réussie
[610]	Voulez-vous vraiment quitter l'installation ?
[611]	Choisir le dossier d'installation
[612]	Créer un raccourci de lancement rapide
[613]	Créer des raccourcis étendus dans le menu Démarrer ( aide, aide en ligne, forum, désinstallation )
[614]	Visiter le forum Murmelwerk
[615]	Aide locale
[616]	Aide en ligne
[617]	Désinstaller %s
[618]	Programme de désinstallation de Murmelwerk v1.1
[619]	Cliquez sur le bouton ci-dessous pour supprimer Murmelwerk
[620]	Supprimer entièrement %s %s de cet ordinateur
[621]	Je n'ai pas pu supprimer le fichier exécutable
[622]	Erreur fatale d'initialisation :
[623]	Voulez-vous installer la version %s de %s ?
[624]	Voulez-vous réinstaller %s %s ?
[625]	Impossible d'exécuter le programme installé, le programme autonome va être exécuté.
[626]	Voulez-vous installer %s %s ?

Oui - l'installer sur cet ordinateur et créer ses raccourcis.
Non - l'exécuter juste cette fois depuis son emplacement actuel.
Annuler - quitter.
[627]	Contrat de licence utilisateur final
[628]	Vous devez lire le texte et le faire défiler jusqu'en bas pour continuer.
[629]	Continuer
[630]	Je refuse
[631]	J'accepte
[720]	Sous Wayland, les mesures de la souris ne suivent la souris que lorsque le pointeur se trouve sur des fenêtres X11, comme celles de Murmelwerk.
[721]	Aucun périphérique de sortie ne peut être ouvert. %s Pour lister les périphériques, lancez « aplay -L » ; sur un bureau PipeWire, installez le paquet « pipewire-alsa ».
[722]	Décrochages : %s
[723]	La souris ne peut pas être lue (%s) : les mesures de la souris restent immobiles. Murmelwerk a besoin d'un affichage X11 ; sous Wayland, il passe par XWayland.
[730]	Le patch contient des modifications non enregistrées. Les enregistrer d'abord ?
[731]	Modifications non enregistrées
[732]	Patchs récents
[733]	Annuler
[734]	Rétablir
[735]	Surface de jeu (plein écran)
[736]	Appuyez sur Échap ou F11 pour quitter la surface de jeu.
[780]	Tout n'a pas pu être écrit dans le fichier wave (%s). Le fichier contient ce qui a été enregistré avant l'erreur, et son en-tête l'indique.
[781]	L'enregistrement est incomplet.
[782]	Aucun élément sélectionné
[790]	Impossible de créer le contexte de rendu
[791]	Impossible d'activer le contexte de rendu
[792]	Impossible d'initialiser OpenGL
[793]	Échec !
[632]	MURMELWERK 1.0 - CONTRAT DE LICENCE UTILISATEUR FINAL

Veuillez lire ce contrat jusqu'au bout. En choisissant « J'accepte », vous l'acceptez. Si vous ne l'acceptez pas, choisissez « Je refuse » ; le programme ne sera alors ni installé ni exécuté.

1. Licence. Vous pouvez utiliser Murmelwerk gratuitement sur autant d'ordinateurs que vous le souhaitez, à titre privé ou commercial. Vous pouvez copier le programme et le transmettre à d'autres, sans modification et accompagné de ce contrat.

2. Vos créations. Les sons, enregistrements et patches que vous créez avec Murmelwerk vous appartiennent. Aucun droit n'est revendiqué sur eux.

3. Absence de garantie. Murmelwerk est fourni « tel quel », sans garantie d'aucune sorte, expresse ou implicite, y compris, sans s'y limiter, les garanties de qualité marchande, d'adéquation à un usage particulier et d'absence de contrefaçon. Vous l'utilisez à vos propres risques.

4. Limitation de responsabilité. En aucun cas les auteurs ou les titulaires des droits ne pourront être tenus responsables de toute réclamation, de tout dommage ou de toute autre responsabilité, que ce soit dans le cadre d'un contrat, d'un délit ou autrement, découlant du programme ou de son utilisation, ou en relation avec ceux-ci.

5. Votre audition et votre matériel. Murmelwerk peut produire des sons forts et soudains. Gardez le volume de vos haut-parleurs ou de votre casque bas chaque fois que vous essayez quelque chose de nouveau. L'option « Priorité processeur temps réel » peut bloquer l'ordinateur en cas de forte charge ; utilisez-la avec prudence.

6. Réseau. Murmelwerk ne contacte son site web que pour rechercher une nouvelle version au démarrage (désactivable dans « Options ») et pour envoyer un commentaire que vous avez vous-même saisi et envoyé avec « Envoyer ». Il n'envoie aucune autre information vous concernant ou concernant votre ordinateur.

7. Installation et suppression. Lorsque le programme s'installe lui-même, il note chaque fichier et chaque dossier qu'il crée, afin de pouvoir ensuite se supprimer entièrement.

8. Résiliation. Cette licence prend fin si vous ne la respectez pas. Vous pouvez y mettre fin à tout moment en supprimant le programme et toutes ses copies.

Si une partie de ce contrat s'avère inapplicable, les autres parties restent en vigueur.

Copyright (C) Les développeurs de Murmelwerk.

)MW",
};
// clang-format on

} // namespace

std::span<const std::string_view> FrancaisZone() {
    return kPieces;
}

} // namespace mw::builtin_text
