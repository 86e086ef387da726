// The built-in language text, zone "[Zone_Espanol]":
// Spanish (language code 3).
// Every entry is "[number]", a TAB and the text, which runs up to the next line that starts with "[";
// the same 443 numbers stand in every language zone, and every text keeps the % conversions and the
// "&&" of its English original. Texts that end in a blank stand in pieces of their own.
#include "i18n/builtin_language_text.hpp"

namespace mw::builtin_text {
namespace {

// clang-format off
constexpr std::string_view kPieces[] = {
R"MW([Zone_Espanol]

[0]	Murmelwerk
[1]	Murmelwerk - el sintetizador que se toca con el ratón
[2]	El sonido está activado.
[3]	El sonido está desactivado.
[4]	Ocultar
[5]	Iniciar && ocultar
[6]	«Iniciar & ocultar» inicia el sonido y oculta por completo la ventana del programa, de modo que no quede nada de ella en la pantalla mientras toca. Si el icono del área de notificación está activado (Opciones, Opciones de minimización), al hacer clic en él vuelve a aparecer la ventana.
[7]	Iniciar & ocultar
[8]	Módulo Sensibilizador de control
[9]	Obtener un módulo nuevo
[10]	Módulo Modulador de control
[11]	Indique un nombre para este módulo:
[12]	Si esta casilla está marcada, el puntero del ratón que llega a un borde de la pantalla salta al borde opuesto, de modo que puede seguir moviendo el ratón en una misma dirección todo el tiempo que quiera. El salto en sí no cuenta como distancia ni como velocidad.
[13]	Pasar el puntero del ratón de un borde de la pantalla al otro
[14]	Latencia deseada
[15]	Latencia de entrada
[16]	Murmelwerk entiende las siguientes opciones de línea de comandos. No importa si se escriben en mayúsculas o minúsculas, y cada opción puede escribirse con o sin el «-» inicial.

-AutoStartOnly
    Inicia el sonido en cuanto se abre el programa.

-AutoStartAndHide
    Inicia el sonido y oculta la ventana en cuanto se abre el programa. El icono del área de notificación, si está activado, vuelve a mostrar la ventana.

-NoInstall
    Ejecuta el programa desde donde está, sin ofrecer su instalación.

-RemoveIt
    Elimina el programa instalado de este equipo.

-MakeNoSound
    «-MakeNoSound» o «-MakeNoSound 1» silencia la salida de sonido durante esta ejecución; «-MakeNoSound 0» no la silencia. Sin la opción, el sonido se oye como siempre.

-WrapMouse
    «-WrapMouse» o «-WrapMouse 1» hace que el puntero del ratón pase de un borde de la pantalla al otro durante esta ejecución; «-WrapMouse 0» no. Sin la opción decide el ajuste guardado «Pasar el puntero del ratón de un borde de la pantalla al otro» (Opciones).

Ninguna de estas dos indicaciones se guarda nunca.
[17]	Opciones de línea de comandos
)MW",
"[18]\tSu ratón está detenido a \n",
"[19]\tSu ratón se arrastra a \n",
"[20]\tSu ratón camina a \n",
"[21]\tSu ratón trota a \n",
"[22]\tSu ratón corre a \n",
"[23]\tSu ratón viaja vertiginosamente a \n",
"[24]\tSu ratón echa chispas a \n",
R"MW([25]	%u píxeles por segundo.
[26]	Acerca de
[27]	Ayuda
[28]	Preferencias
[29]	Iniciar
[30]	Detener
[31]	Restaurar
[32]	Minimizar
[33]	Salir
[34]	El archivo que ejecuta este programa está dañado. La causa puede ser un error de disco, un error de memoria RAM y/o un virus. Vuelva a descargar este programa.
[35]	Maximizar
[36]	Opciones de línea de comandos
[37]	%.05g hercios
[38]	Frecuencia de control actual:
[39]	Haga clic para añadir un módulo de este tipo
[40]	Indicadores de estado
[41]	¿Para qué sirve esto?
[42]	Ir allí
)MW",
"[43]\t\n",
R"MW([44]	Murmelwerk 1.0
Un sintetizador de sonido que se toca con el ratón del ordenador.

Construya patches con módulos de control y de audio, deje que los movimientos de su ratón los dirijan y escuche.

Murmelwerk se ofrece sin ninguna garantía; elija «Ver la licencia» para leer las condiciones de uso.
[45]	Aceptar
[46]	Cancelar
[47]	Aplicar
[48]	Empezar a sonar automáticamente al iniciarse el programa.
[49]	Iniciar Murmelwerk automáticamente al iniciar sesión.
[50]	Archivos de texto (*.txt)|*.txt|Todos los archivos (*.*)|*.*||
[51]	Opciones de idioma
[52]	Opciones
[53]	Su ratón ha recorrido un total de %.00f píxeles desde que se inició este programa.
[54]	Elegir un archivo de textos de idioma
[55]	Control de la entrada
[56]	Ataque
[57]	Caída
[58]	Dirección
[59]	Inercia de giro
[60]	Inercia de giro'
[61]	Velocidad
[62]	Aceleración
[63]	Posición horizontal
[64]	Posición vertical
[65]	Velocidad horizontal
[66]	Velocidad vertical
[67]	Aceleración horizontal
[68]	Aceleración vertical
[69]	Posición de la rueda
[70]	Velocidad de la rueda
[71]	Aceleración de la rueda
[72]	Valor anterior:
[73]	Valor nuevo:
[74]	Módulo Sensibilizador de control %ld
[75]	Módulo Modulador de control %ld
[76]	Efecto
[77]	Salida con signo
[78]	Entrada lineal
[79]	Frecuencia de modulación: %g hercios
[80]	Control de la entrada de modulación
[81]	Módulo Oscilador %ld
[82]	Frecuencia: %g hercios
[83]	Frecuencia base
[84]	Multiplicador de frecuencia
[85]	Control de la amplitud
[86]	Control de la frecuencia
[87]	-[ Manual ]-
[88]	Módulo Oscilador
[89]	Dispositivo de salida
[90]	Módulo Salida
[91]	Módulo Salida %ld
[92]	Latencia de sonido actual (en milisegundos):
[93]	Control de latencia
[94]	%ld milisegundos
[95]	Módulo de entrada
[96]	Fuente de entrada
[97]	Módulo Eco de control
[98]	Módulo Eco de control %ld
[99]	Control del intervalo
[100]	Modo de intervalo largo
[101]	Control de la persistencia
[102]	Módulo Combinación de control
[103]	Módulo Combinación de control %ld
[104]	Fuente de entrada %ld
[105]	Rango de entrada ( límite inferior / superior )
[106]	Mantener dentro del rango indicado
[107]	Módulo Rango de control
[108]	Módulo Rango de control %ld
[109]	Mostrar los indicadores de estado del ratón
[110]	Control de la intensidad del ruido
[111]	Control de la forma de onda
[112]	Dispositivo de entrada MIDI
[113]	Módulo Entrada MIDI
[114]	Módulo Entrada MIDI %ld
[115]	Sensibilidad del control: %ld %%
[116]	Señal en lugar de velocidad de pulsación
[117]	Control de la transposición
[118]	Control de la afinación
[119]	Módulo Nota más cercana de control
[120]	Módulo Nota más cercana de control %ld
[121]	Módulo Eco
[122]	Módulo Eco %ld
[123]	Intervalo: %g milisegundos
[124]	Módulo Entrada de audio
[125]	Módulo Entrada de audio %ld
[126]	El dispositivo de entrada de audio ya está en uso y por eso no se puede utilizar en este momento.
[127]	Dispositivo de entrada de audio
[128]	Módulo Desplazamiento de tono
[129]	Módulo Desplazamiento de tono %ld
[130]	Activar el filtro paso bajo
[131]	Control del tono
[132]	Salida-%ld
[133]	Control del fundido
[134]	Módulo Divisor/fundido de salida
[135]	Módulo Divisor/fundido de salida %ld
[136]	Dispositivo de salida %ld
[137]	Módulo Mezclador/fundido de entradas
[138]	Módulo Mezclador/fundido de entradas %ld
[139]	Módulo de entrada %ld
[140]	Control de la ganancia de entrada
[141]	Módulo Retardo múltiple
[142]	Módulo Retardo múltiple %ld
[143]	Archivo wave:
[144]	Grabando
[145]	Detenido
[146]	Archivos wave (*.wav)|*.wav|Todos los archivos (*.*)|*.*||
[147]	Módulo Grabador wave
[148]	Módulo Grabador wave %ld
[149]	No se pudo abrir el archivo para escribir. Compruebe que el archivo no está en uso, que el disco no está lleno y que la ruta indicada es válida.
[150]	No se pudo abrir el archivo.
[151]	Añadir al archivo existente
[152]	Configuración
[153]	Cargar
[154]	Guardar como...
[155]	Configuraciones de Murmelwerk (*.mwc)|*.mwc;*.mwc_|Todos los archivos (*.*)|*.*||
[156]	Se produjo un error al escribir el archivo. Compruebe que el disco no está lleno y que sigue montado, y vuelva a intentarlo.
[157]	Se produjo un error al escribir el archivo.
[158]	Configuración de Murmelwerk (MWC)
[159]	No se pudo abrir el archivo para leer. Compruebe que el archivo no está en uso y que la ruta indicada es válida.
[160]	No se pudo abrir el archivo para leer.
[161]	Quitar todos los módulos actuales
[162]	Control de la saturación
[163]	Control de la compresión
[164]	Control de la forma de onda de compresión
[165]	Control de la fidelidad del ruido
[166]	Módulo Distorsión
[167]	Módulo Distorsión %ld
[168]	Control de la rampa
[169]	Control del retardo %ld
[170]	Calculando...
[171]	%ld por ciento completado
[172]	Examinar...
[173]	Paleta de colores
[174]	Color anterior:
[175]	Color nuevo:
[176]	Color previsto:
[177]	Rojo:
[178]	Verde:
[179]	Azul:
[180]	Hexadecimal (estilo HTML):
[181]	Opciones de minimización
[182]	Área de notificación
[183]	Mostrar el icono en el área de notificación.
[184]	Solo cuando esté minimizado.
[185]	Ocultar el botón de la barra de tareas al minimizar.
[186]	Minimizar el programa poco después de iniciarse.
[187]	Minimizar al elegir «Cerrar» / «X»; salir solo al elegir «Salir».
[188]	Minimizar al pulsar la tecla Esc.
[193]	El archivo de configuración guardado no es de este programa; se usará la configuración predeterminada.
[194]	El archivo de configuración guardado no es de Murmelwerk Software; se usará la configuración predeterminada.
[195]	El archivo de configuración guardado no es de este programa o no es un archivo de configuración guardado; se usará la configuración predeterminada.
[196]	El archivo de configuración guardado no es de esta versión. ¿Cargarlo de todos modos?
[197]	¿Cargar de todos modos?
[199]	Ajustar la ventana principal a los bordes de la pantalla al arrastrarla
[200]	Colores sencillos para los campos de estado
[201]	Archivo de configuración:
[202]	Archivo de textos de idioma:
[206]	Exportar los textos de idioma...
[207]	No se pudieron escribir los textos de idioma en el archivo.
[209]	No se pudo enviar su comentario. Compruebe que este equipo está conectado a Internet y que ningún cortafuegos bloquea Murmelwerk, y vuelva a intentarlo.
[210]	Error
[211]	Buscar ahora una versión más reciente
[212]	Hay una versión más reciente de %s disponible. ¿Desea obtener más información?
[213]	Aviso de versión
[214]	Preferencias visuales
[215]	Color de fondo de los diálogos:
[216]	Color del texto de los diálogos:
[217]	Color de fondo de los módulos:
[218]	Color del texto de los módulos:
[219]	Algunos cambios no tendrán efecto hasta que se reinicie el programa.
[220]	Color de fondo de los botones normales:
[221]	Color del texto de los botones normales:
[222]	Color de fondo del botón predeterminado:
[223]	Color del texto del botón predeterminado:
[224]	Color de fondo de los botones con el foco:
[225]	Color del texto de los botones con el foco:
[226]	Color de fondo de los botones deshabilitados:
[227]	Color del texto de los botones deshabilitados:
[228]	Color de fondo de los botones resaltados:
[229]	Color del texto de los botones resaltados:
[230]	Color de fondo de los botones inactivos:
[231]	Color del texto de los botones inactivos:
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
R"MW([242]	Visitar el centro de ayuda en línea
[243]	Modo de visualización
[244]	Configuración de ejemplo con el ratón
[245]	Configuración de ejemplo con MIDI
[246]	Configuración de ejemplo con el micrófono
[247]	Configuración de ejemplo con modulación
[248]	Bienvenido a Murmelwerk
[249]	Aceptar
[250]	Gracias por probar Murmelwerk, el sintetizador que se toca con el ratón.

Cada movimiento del ratón - su dirección, velocidad, giro y posición - puede dirigir el sonido. Un patch se compone de pequeñas ventanas de módulos: los módulos de control dan forma a las señales del ratón, los módulos de audio crean y transforman el sonido, y un módulo Salida (o cualquier módulo de audio con un dispositivo de salida) se lo hace oír.

Para empezar, pulse uno de los botones de ejemplo de abajo, luego pulse Iniciar y mueva el ratón. «Obtener un módulo nuevo» añade sus propios módulos, y «Configuración» carga y guarda patches y ofrece muchos más ejemplos.
[251]	Módulo Desplazamiento de control
[252]	Módulo Desplazamiento de control %ld
[253]	Control del desplazamiento
[254]	Módulo Ganancia de control
[255]	Módulo Ganancia de control %ld
[256]	Control de la ganancia
[257]	Módulo Entrada de control
[258]	Módulo Entrada de control %ld
[259]	Control del tempo (BPM)
[260]	Control de la duración de las notas
[261]	Control de la velocidad de las notas
[262]	Secuencia de notas
[263]	Cómo escribir una secuencia de notas
[264]	Escriba las notas una tras otra en la forma [Nota][octava]: una letra de la A a la G (notación inglesa: A = la, B = si, C = do...), seguida si se desea de un "#" para un semitono más alto, y luego la octava, una cifra del 0 al 9. Un espacio representa una nota vacía (un silencio de un paso). Los guiones separan notas sin pausa, por ejemplo C4-E4-G4 C5. Los demás caracteres se ignoran. Las notas tocadas en el dispositivo de entrada del captador de notas se añaden a la secuencia.
[265]	Módulo Secuencia de control
[266]	Módulo Secuencia de control %ld
[267]	Control de la nota
[268]	Módulo Ding-dong
[269]	Módulo Ding-dong %ld
[270]	Módulo Sensor de control
[271]	S %ld
[272]	Gravedad
[273]	Polaridad
[274]	Con signo
[275]	Módulo Combinación de notas de control
[276]	Módulo Combinación de notas de control %ld
[277]	Sostenido
[278]	Ángulo
[279]	Módulo Corte de graves de control
[280]	Módulo Corte de graves de control %ld
[281]	Control de la frecuencia de corte de graves
[282]	Módulo Retardador de notas de control
[283]	Módulo Retardador de notas de control %ld
[284]	Control del retardamiento
[285]	-[ De dónde vino la última nota ]-
[286]	Módulo Analizador de salida
[287]	Módulo Analizador de salida %ld
[288]	Analizador
[289]	Osciloscopio
[290]	Control de la fase
[291]	Configuración de ejemplo con secuencias
[292]	Fuente de entrada del captador de notas ( opcional )
[293]	Color de fondo de las listas desplegables de los módulos:
[294]	Color del texto de las listas desplegables de los módulos:
[295]	Control de la frecuencia máxima
[296]	Módulo Paso bajo
[297]	Módulo Paso bajo %ld
[298]	Control de la atenuación
[299]	Módulo Paso alto
[300]	Módulo Paso alto %ld
[301]	Fuente de control
[302]	Efecto de control
[303]	Fuente de audio
[304]	Efecto de audio
[305]	Audio - otros
[306]	Orientación de notas invertida
[307]	Control de la fuente de retardamiento
[308]	Velocidad de la entrada %ld
[309]	Velocidad ( en bruto )
[310]	Elegir un archivo wave
[317]	¿Prefiere que me oculte en el área de notificación en lugar de simplemente minimizarme?
[318]	¿Minimizar al área de notificación?
[321]	Cuando haga clic en la X, ¿prefiere que me cierre o que me minimice?\r\n\r\nSí - cerrar con la X.\r\n\r\nNo - minimizar con la X.
[322]	¿Cerrar o minimizar?
[323]	¿Quiere que me minimice al pulsar la tecla Esc?
[324]	¿Minimizar con Esc?
[400]	Función de energía
[401]	Control de la relación entrada/salida
[402]	Control de la tasa de descarga
[403]	Control del umbral
[404]	Control del paso directo
[405]	Control de la fuga
[406]	Control de la dendrita %ld
[407]	Módulo Neurona de control
[408]	Módulo Neurona de control %ld
[409]	Hacer positivas todas las entradas
[410]	Frecuencia de muestreo de los datos de control
[411]	Lineal ( identidad )
[412]	Módulo Función escalonada de audio
[413]	Módulo Función escalonada de audio %ld
[414]	Módulo Función escalonada de control
[415]	Módulo Función escalonada de control %ld
[416]	Control del tamaño del escalón
[417]	Dirección horizontal ( sin signo )
[418]	Dirección horizontal ( con signo )
[419]	Dirección vertical ( sin signo )
[420]	Dirección vertical ( con signo )
[421]	Control de la entrada %ld
[422]	Módulo Polifonizador
[423]	Módulo Polifonizador %ld
[424]	Solicitud de comentarios
[425]	Enviar
[426]	No volver a mostrar este diálogo
[427]	¿Qué le gusta de Murmelwerk, qué echa en falta, qué ha fallado? Escriba su comentario abajo y pulse «Enviar».
[428]	Privacidad: solo se envía el texto que usted escribe, sin cifrar, al sitio web de Murmelwerk, que también ve su dirección de red como en cualquier petición web. No se envía nada más sobre usted ni sobre su equipo.
[429]	¡Gracias!
[430]	¡Gracias por su comentario!
[431]	Prioridad de CPU en tiempo real para el cálculo del sonido ( surte efecto al reiniciar el sonido. Advertencia: puede bloquear el sistema con una carga elevada y/o si se produce un fallo. ).
[432]	Modo de salida
[433]	Control del ataque
[434]	Control de la relación nivel de ataque / velocidad
[435]	Control de la caída
[436]	Control del sostenido
[437]	Módulo Envolvente de notas de control
[438]	Módulo Envolvente de notas de control %ld
[439]	Control de la liberación
[440]	Control del suavizado
[441]	Velocidad de la entrada
[442]	Rango de salida ( límite inferior / superior )
[443]	%g milisegundos
[444]	%g semitonos
[445]	%g cents
[446]	%g pulsos por minuto
[447]	Velocidad: %g
[448]	Límite inferior: %g
[449]	Límite superior: %g
[450]	Valor: %g
[451]	%g %%
[452]	Con micrófono
[453]	Con MIDI
[454]	Con modulación
[455]	Con el ratón
[456]	Con neuronas
[457]	Con secuencias
[458]	Tono y eco sencillos
[459]	Sierra de aire
[460]	Sinte de aire
[461]	Aire distorsionado
[462]	Aire distorsionado ( respirable )
[463]	Sencillo cacharro de órgano
[464]	El circo espacial se va por el desagüe de notas
[465]	Circo espacial de tonalidad confusa
[466]	Con modulación
[467]	Animalesco 1
[468]	Animalesco 2
[469]	Señal lejana
[470]	Mareo
[471]	Serrucho de plástico
[472]	Retorcido
[473]	Modulación digital
[474]	El bajante sueña con la lluvia
[475]	Potente motor eléctrico
[476]	Aspiradora del espacio exterior
[477]	Ritmo neuronal
[478]	El ABC también marca el ritmo
[479]	Micromecánica
[480]	Actualizar una instalación existente ( conservar su archivo de configuración )
[481]	Enviar comentarios
[482]	Ver la licencia
[483]	Tutoriales de introducción
[484]	Módulo Deslizadores MIDI
[485]	Módulo Deslizadores MIDI %ld
[486]	Deslizador %ld
[487]	Controlador
[488]	Valor
[489]	Signo
[490]	Añadir deslizadores
[491]	Mueva los deslizadores y luego haga clic aquí
[492]	Quitar el deslizador seleccionado
[493]	Cambiar el signo del deslizador seleccionado
[494]	Bastante robótico
[495]	&Sí
[496]	&No
[497]	Aceptar
[498]	Información
[499]	Pregunta
[500]	Advertencia
[504]	Buscar una versión más reciente al iniciar el programa.
[600]	Instalador de Murmelwerk v1.4.1
[601]	Carpeta de instalación:
[602]	Crear un acceso directo en el escritorio
[603]	Crear accesos directos en el menú Inicio
[604]	Ejecutar Murmelwerk después de la instalación
[605]	Crear los accesos directos para todos los usuarios
[606]	Instalar %s %s
[607]	No se pudo copiar el archivo del programa en la carpeta de instalación. Compruebe que el nombre de la carpeta es válido, que puede escribir en ella y que el disco no está lleno, y vuelva a intentarlo.
[608]	La instalación de %s %s ha finalizado.
[609]	Instalación correcta
[610]	¿Seguro que desea salir de la instalación?
[611]	Elegir la carpeta de instalación
[612]	Crear un acceso directo de inicio rápido
[613]	Crear accesos directos ampliados en el menú Inicio ( ayuda, ayuda en línea, foro, desinstalación )
[614]	Visitar el foro de Murmelwerk
[615]	Ayuda local
[616]	Ayuda en línea
[617]	Desinstalar %s
[618]	Desinstalador de Murmelwerk v1.1
[619]	Haga clic en el botón de abajo para eliminar Murmelwerk
[620]	Eliminar por completo %s %s de este equipo
[621]	No he podido eliminar el archivo ejecutable
[622]	Error grave de inicialización:
[623]	¿Desea instalar la versión %s de %s?
[624]	¿Desea volver a instalar %s %s?
[625]	No se puede ejecutar el programa instalado; se ejecutará el programa autónomo.
[626]	¿Desea instalar %s %s?

Sí - instalarlo en este equipo y crear sus accesos directos.
No - ejecutarlo solo esta vez desde donde está ahora.
Cancelar - salir.
[627]	Contrato de licencia para el usuario final
[628]	Debe leer el texto y desplazarse hasta el final para continuar.
[629]	Continuar
[630]	No acepto
[631]	Acepto
[720]	En Wayland, las medidas del ratón solo siguen al ratón mientras el puntero está sobre ventanas X11, como las de Murmelwerk.
[721]	No se puede abrir ningún dispositivo de salida. %s Para ver los dispositivos, ejecute "aplay -L"; en un escritorio con PipeWire, instale el paquete "pipewire-alsa".
[722]	Cortes: %s
[723]	No se puede leer el ratón (%s), así que las medidas del ratón permanecen quietas. Murmelwerk necesita una pantalla X11; en Wayland funciona a través de XWayland.
[730]	El patch tiene cambios sin guardar. ¿Guardarlos primero?
[731]	Cambios sin guardar
[732]	Patches recientes
[733]	Deshacer
[734]	Rehacer
[735]	Superficie de juego (pantalla completa)
[736]	Pulse Esc o F11 para salir de la superficie de juego.
[780]	No se pudo escribir todo en el archivo wave (%s). El archivo contiene lo grabado antes del error, y su cabecera lo indica.
[781]	La grabación está incompleta.
[782]	Ningún elemento seleccionado
[790]	No se puede crear el contexto de representación
[791]	No se puede activar el contexto de representación
[792]	No se puede inicializar OpenGL
[793]	¡Ha fallado!
[632]	MURMELWERK 1.0 - CONTRATO DE LICENCIA PARA EL USUARIO FINAL

Lea este contrato hasta el final. Al elegir «Acepto», usted lo acepta. Si no está de acuerdo, elija «No acepto»; el programa no se instalará ni se ejecutará.

1. Licencia. Puede usar Murmelwerk gratuitamente en tantos equipos como quiera, con fines privados o comerciales. Puede copiar el programa y entregarlo a otras personas, sin modificarlo y junto con este contrato.

2. Sus obras. Los sonidos, grabaciones y patches que cree con Murmelwerk le pertenecen. No se reclama ningún derecho sobre ellos.

3. Sin garantía. Murmelwerk se proporciona «tal cual», sin garantía de ningún tipo, expresa o implícita, incluidas, entre otras, las garantías de comerciabilidad, de idoneidad para un fin determinado y de no infracción. Usted lo utiliza bajo su propio riesgo.

4. Limitación de responsabilidad. En ningún caso los autores o los titulares de los derechos serán responsables de ninguna reclamación, daño u otra responsabilidad, ya sea contractual, extracontractual o de otro tipo, que surja del programa o de su uso, o en relación con ellos.

5. Su oído y su equipo. Murmelwerk puede producir sonidos fuertes y repentinos. Mantenga bajo el volumen de sus altavoces o auriculares cada vez que pruebe algo nuevo. La opción «Prioridad de CPU en tiempo real» puede hacer que el equipo deje de responder con una carga elevada; úsela con cuidado.

6. Red. Murmelwerk solo se conecta a su sitio web para buscar una versión más reciente al iniciarse (puede desactivarlo en «Opciones») y para enviar un comentario que usted mismo haya escrito y enviado con «Enviar». No envía ninguna otra información sobre usted ni sobre su equipo.

7. Instalación y eliminación. Cuando el programa se instala a sí mismo, anota cada archivo y cada carpeta que crea, para poder eliminarse después por completo.

8. Terminación. Esta licencia termina si usted no la cumple. Puede ponerle fin en cualquier momento eliminando el programa y todas sus copias.

Si alguna parte de este contrato no pudiera hacerse cumplir, las demás partes seguirán en vigor.

Copyright (C) Los desarrolladores de Murmelwerk.

)MW",
};
// clang-format on

} // namespace

std::span<const std::string_view> EspanolZone() {
    return kPieces;
}

} // namespace mw::builtin_text
