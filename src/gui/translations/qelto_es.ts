<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="en">
<context>
    <name>qelto</name>
    <message>
        <source>Compare</source>
        <translation>Comparar</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Grabar</translation>
    </message>
    <message>
        <source>The assistant</source>
        <translation>El asistente</translation>
    </message>
    <message>
        <source>The memory selection</source>
        <translation>La selección de memoria</translation>
    </message>
    <message>
        <source>data transfer</source>
        <translation>la transferencia de datos</translation>
    </message>
    <message>
        <source>%1 cannot run now: %2 is running.</source>
        <translation>%1 no puede ejecutarse ahora: %2 está en curso.</translation>
    </message>
    <message>
        <source>%1 is not available: no sensor is connected.</source>
        <translation>%1 no está disponible: no hay ningún sensor conectado.</translation>
    </message>
    <message>
        <source>%1 is not available now.</source>
        <translation>%1 no está disponible ahora.</translation>
    </message>
    <message>
        <source>Compare the parameters and teach table shown 
with the sensor or with a parameter file?</source>
        <translation>¿Comparar los parámetros y la tabla de aprendizaje mostrados 
con el sensor o con un archivo de parámetros?</translation>
    </message>
    <message>
        <source>No sensor is connected: 
compare with a parameter file, or connect first.</source>
        <translation>No hay ningún sensor conectado: 
compare con un archivo de parámetros o conecte primero.</translation>
    </message>
    <message>
        <source>No differences: a Send would change nothing.</source>
        <translation>Sin diferencias: un Send no cambiaría nada.</translation>
    </message>
    <message>
        <source>A Send would change in the sensor (sensor -&gt; shown):

</source>
        <translation>Un Send cambiaría en el sensor (sensor -&gt; mostrado):

</translation>
    </message>
    <message>
        <source>Differences between the file and what is shown (file -&gt; shown):

</source>
        <translation>Diferencias entre el archivo y lo mostrado (archivo -&gt; mostrado):

</translation>
    </message>
    <message>
        <source>Connecting: %1</source>
        <translation>Conectando: %1</translation>
    </message>
    <message>
        <source>Connected: %1 — %2, serial %3</source>
        <translation>Conectado: %1 — %2, serie %3</translation>
    </message>
    <message>
        <source>%1; %2 at %3</source>
        <translation>%1; %2 a las %3</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Sin conexión</translation>
    </message>
    <message>
        <source>Offline — %1</source>
        <translation>Sin conexión — %1</translation>
    </message>
    <message>
        <source>Offline%1: %2</source>
        <translation>Sin conexión%1: %2</translation>
    </message>
    <message>
        <source>Lost %1 — %2</source>
        <translation>Perdido %1 — %2</translation>
    </message>
    <message>
        <source>Link lost at %1%2: %3</source>
        <translation>Enlace perdido a las %1%2: %3</translation>
    </message>
    <message>
        <source>; reconnecting, first attempt in 2 s</source>
        <translation>; reconectando, primer intento en 2 s</translation>
    </message>
    <message>
        <source>; reconnecting, attempt %1</source>
        <translation>; reconectando, intento %1</translation>
    </message>
    <message>
        <source>Send and Get pressed during data transfer were not carried out.</source>
        <translation>Send y Get pulsados durante la transferencia de datos no se ejecutaron.</translation>
    </message>
    <message>
        <source>could not connect</source>
        <translation>no se pudo conectar</translation>
    </message>
    <message>
        <source>connection closed</source>
        <translation>conexión cerrada</translation>
    </message>
    <message>
        <source>no reply in time</source>
        <translation>sin respuesta a tiempo</translation>
    </message>
    <message>
        <source>corrupted reply</source>
        <translation>respuesta dañada</translation>
    </message>
    <message>
        <source>refused by the sensor</source>
        <translation>rechazado por el sensor</translation>
    </message>
    <message>
        <source>
Send these values to the sensor?</source>
        <translation>
¿Enviar estos valores al sensor?</translation>
    </message>
    <message>
        <source>No differences: the sensor holds every value shown.</source>
        <translation>Sin diferencias: el sensor contiene todos los valores mostrados.</translation>
    </message>
    <message>
        <source>What the sensor holds has not been read since connecting.

Send every value shown to the sensor?</source>
        <translation>Lo que contiene el sensor no se ha leído desde la conexión.

¿Enviar todos los valores mostrados al sensor?</translation>
    </message>
    <message>
        <source>%1: %2 is outside 0..65535; the value stays %3.</source>
        <translation>%1: %2 está fuera de 0..65535; el valor sigue siendo %3.</translation>
    </message>
    <message>
        <source>that</source>
        <translation>eso</translation>
    </message>
    <message>
        <source>Sent: %1
The sensor holds: %2</source>
        <translation>Enviado: %1
El sensor contiene: %2</translation>
    </message>
    <message>
        <source>The sensor holds other values than when the link was lost: it was reset, or changed by someone else.
Nothing was written to it. The values shown stay; those the sensor holds otherwise are marked.

Before the loss -&gt; now:
</source>
        <translation>El sensor contiene otros valores que cuando se perdió el enlace: se reinició o alguien lo cambió.
No se le escribió nada. Los valores mostrados se mantienen; los que difieren en el sensor están marcados.

Antes de la pérdida -&gt; ahora:
</translation>
    </message>
    <message>
        <source>Another sensor answers (%1), not the one that was connected (%2).
Automatic reconnection has stopped; nothing was written to it. Connect to work with it.</source>
        <translation>Responde otro sensor (%1), no el que estaba conectado (%2).
La reconexión automática se ha detenido; no se le escribió nada. Conecte para trabajar con él.</translation>
    </message>
    <message>
        <source>Reconnected after %1</source>
        <translation>Reconectado tras %1</translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n value other than before (marked)</source>
        <translation>
            <numerusform>; el sensor contiene %n valor distinto al de antes (marcado)</numerusform>
            <numerusform>; el sensor contiene %n valor distinto al de antes (marcado)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n values other than before (marked)</source>
        <translation>
            <numerusform>; el sensor contiene %n valor distinto al de antes (marcado)</numerusform>
            <numerusform>; el sensor contiene %n valores distintos a los de antes (marcados)</numerusform>
        </translation>
    </message>
    <message>
        <source>; GO and the recording go on (a gap of %1 in the file)</source>
        <translation>; GO y la grabación continúan (un hueco de %1 en el archivo)</translation>
    </message>
    <message>
        <source>; GO goes on</source>
        <translation>; GO continúa</translation>
    </message>
    <message>
        <source>Send: the parameters go to the sensor between two samples.</source>
        <translation>Send: los parámetros van al sensor entre dos muestras.</translation>
    </message>
    <message>
        <source>Now at their defaults, unlike what was shown (shown -&gt; sensor):
</source>
        <translation>Ahora en sus valores por defecto, a diferencia de lo mostrado (mostrado -&gt; sensor):
</translation>
    </message>
    <message>
        <source>Get: the parameters are read from the sensor between two samples.</source>
        <translation>Get: los parámetros se leen del sensor entre dos muestras.</translation>
    </message>
    <message>
        <source>Send: to a parameter file; choose it.</source>
        <translation>Send: a un archivo de parámetros; elíjalo.</translation>
    </message>
    <message>
        <source>Get: from a parameter file; choose it.</source>
        <translation>Get: desde un archivo de parámetros; elíjalo.</translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent change?</source>
        <translation>
            <numerusform>¿Descartar %n cambio no enviado?</numerusform>
            <numerusform>¿Descartar %n cambio no enviado?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent changes?</source>
        <translation>
            <numerusform>¿Descartar %n cambio no enviado?</numerusform>
            <numerusform>¿Descartar %n cambios no enviados?</numerusform>
        </translation>
    </message>
    <message>
        <source>Not connected yet</source>
        <translation>Aún no conectado</translation>
    </message>
    <message>
        <source>Not sent yet: the sensor holds %1</source>
        <translation>Aún no enviado: el sensor contiene %1</translation>
    </message>
    <message>
        <source>The sensor holds %1</source>
        <translation>El sensor contiene %1</translation>
    </message>
    <message>
        <source>The sensor refused these values at the last Send (sent -&gt; holds):

</source>
        <translation>El sensor rechazó estos valores en el último Send (enviado -&gt; contiene):

</translation>
    </message>
    <message>
        <source>
Send them again?</source>
        <translation>
¿Enviarlos de nuevo?</translation>
    </message>
    <message>
        <source>The answer to the last Send was lost: the sensor may hold what was sent, or what it held before. It may hold: </source>
        <translation>La respuesta al último Send se perdió: el sensor puede contener lo enviado o lo que contenía antes. Puede contener: </translation>
    </message>
    <message>
        <source>Read back what its RAM holds now? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>¿Releer lo que contiene ahora su RAM? No se escribe nada; los valores mostrados se mantienen y los que difieren se marcan.</translation>
    </message>
    <message>
        <source>Read back what its EEPROM holds (loaded into RAM, as Get does)? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>¿Releer lo que contiene su EEPROM (cargada en la RAM, como hace Get)? No se escribe nada; los valores mostrados se mantienen y los que difieren se marcan.</translation>
    </message>
    <message>
        <source>Not taken by the sensor (sent -&gt; holds):
</source>
        <translation>No aceptados por el sensor (enviado -&gt; contiene):
</translation>
    </message>
    <message>
        <source>RAM only: lost at power-off</source>
        <translation>Solo en RAM: se pierde al apagar</translation>
    </message>
    <message>
        <source>Values were sent to the sensor&apos;s RAM alone. It works with them now, but at the next power-on it starts with what its EEPROM holds. Store in EEPROM keeps them.</source>
        <translation>Se enviaron valores solo a la RAM del sensor. Ahora trabaja con ellos, pero al próximo encendido arranca con lo que contiene su EEPROM. Store in EEPROM los conserva.</translation>
    </message>
    <message>
        <source>Store in EEPROM</source>
        <translation>Store in EEPROM</translation>
    </message>
</context>
<context>
    <name>qelto::gui::ColourGraph</name>
    <message>
        <source>Colour-space graph, %1 across, %2 upwards</source>
        <translation>Gráfico del espacio de color, %1 en horizontal, %2 en vertical</translation>
    </message>
    <message>
        <source>colour %1</source>
        <translation>color %1</translation>
    </message>
    <message>
        <source>colours %1</source>
        <translation>colores %1</translation>
    </message>
</context>
<context>
    <name>qelto::gui::EditorView</name>
    <message>
        <source>Value</source>
        <translation>Valor</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Grupo</translation>
    </message>
    <message>
        <source>Meaning</source>
        <translation>Significado</translation>
    </message>
    <message>
        <source>E&amp;dit</source>
        <translation>E&amp;ditar</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Deshacer</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Rehacer</translation>
    </message>
    <message>
        <source>Revert</source>
        <translation>Revertir</translation>
    </message>
    <message>
        <source>Pa&amp;rameters</source>
        <translation>Pa&amp;rámetros</translation>
    </message>
    <message>
        <source>&amp;Teach rows</source>
        <translation>Filas de aprendiza&amp;je</translation>
    </message>
</context>
<context>
    <name>qelto::gui::EvidenceBar</name>
    <message>
        <source>Teach from sensor</source>
        <translation>Aprender del sensor</translation>
    </message>
    <message>
        <source> samples</source>
        <translation> muestras</translation>
    </message>
    <message>
        <source>Chec&amp;k tolerances…</source>
        <translation>&amp;Comprobar tolerancias…</translation>
    </message>
    <message>
        <source>Cloud</source>
        <translation>Nube</translation>
    </message>
</context>
<context>
    <name>qelto::gui::ExplorablePlot</name>
    <message>
        <source>paused</source>
        <translation>en pausa</translation>
    </message>
    <message>
        <source>the name must end in .png, .svg or .pdf</source>
        <translation>el nombre debe terminar en .png, .svg o .pdf</translation>
    </message>
    <message>
        <source>it could not be written</source>
        <translation>no se pudo escribir</translation>
    </message>
</context>
<context>
    <name>qelto::gui::GenericPopup</name>
    <message>
        <source>Answer</source>
        <translation>Respuesta</translation>
    </message>
</context>
<context>
    <name>qelto::gui::LinkMonitorPanel</name>
    <message>
        <source>Link monitor</source>
        <translation>Monitor del enlace</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pausa</translation>
    </message>
    <message>
        <source>Cl&amp;ear</source>
        <translation>&amp;Borrar</translation>
    </message>
    <message>
        <source>All commands</source>
        <translation>Todos los comandos</translation>
    </message>
    <message>
        <source>&amp;Command</source>
        <translation>&amp;Comando</translation>
    </message>
    <message>
        <source>Every &amp;live-data exchange</source>
        <translation>Cada intercambio de datos en &amp;vivo</translation>
    </message>
    <message>
        <source>Otherwise the live-data exchanges that went well are folded into one counting line</source>
        <translation>Si no, los intercambios de datos en vivo correctos se agrupan en una línea de recuento</translation>
    </message>
    <message>
        <source>&amp;Failures only</source>
        <translation>Solo &amp;fallos</translation>
    </message>
    <message>
        <source>Only the replies that were rejected or did not come</source>
        <translation>Solo las respuestas rechazadas o que no llegaron</translation>
    </message>
    <message>
        <source>&amp;Bytes</source>
        <translation>&amp;Bytes</translation>
    </message>
    <message>
        <source>The bytes in hex, and below the list the selected line&apos;s frames with their offsets and ASCII</source>
        <translation>Los bytes en hexadecimal y, bajo la lista, las tramas de la línea elegida con sus desplazamientos y ASCII</translation>
    </message>
    <message>
        <source>&amp;Save as text…</source>
        <translation>&amp;Guardar como texto…</translation>
    </message>
    <message>
        <source>Argument</source>
        <translation>Argumento</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Longitud</translation>
    </message>
    <message>
        <source>Requests and replies</source>
        <translation>Peticiones y respuestas</translation>
    </message>
    <message>
        <source>Bytes of the selected line</source>
        <translation>Bytes de la línea elegida</translation>
    </message>
    <message>
        <source>No line.</source>
        <translation>Ninguna línea.</translation>
    </message>
    <message>
        <source>&lt; reply: nothing came</source>
        <translation>&lt; respuesta: no llegó nada</translation>
    </message>
    <message>
        <source>1 line</source>
        <translation>1 línea</translation>
    </message>
    <message>
        <source>%1 lines</source>
        <translation>%1 líneas</translation>
    </message>
    <message>
        <source>, the oldest %1 no longer kept (the monitor keeps the last %2)</source>
        <translation>, las %1 más antiguas ya no se guardan (el monitor guarda las últimas %2)</translation>
    </message>
    <message>
        <source>; paused, the record goes on</source>
        <translation>; en pausa, el registro continúa</translation>
    </message>
    <message>
        <source>Save the link monitor as text</source>
        <translation>Guardar el monitor del enlace como texto</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Archivos de texto (*.txt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Todos los archivos (*)</translation>
    </message>
    <message>
        <source>The link monitor was not saved to %1: %2.</source>
        <translation>El monitor del enlace no se guardó en %1: %2.</translation>
    </message>
</context>
<context>
    <name>qelto::gui::MonitorTableModel</name>
    <message>
        <source>request</source>
        <translation>petición</translation>
    </message>
    <message>
        <source>reply</source>
        <translation>respuesta</translation>
    </message>
    <message>
        <source>requests and replies, folded</source>
        <translation>peticiones y respuestas, agrupadas</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Hora</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Comando</translation>
    </message>
    <message>
        <source>Argument</source>
        <translation>Argumento</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Longitud</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Resultado</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>Bytes</translation>
    </message>
</context>
<context>
    <name>qelto::gui::QtUi</name>
    <message>
        <source>Reconnect</source>
        <translation>Reconectar</translation>
    </message>
    <message>
        <source>Auto-reconnect</source>
        <translation>Reconexión auto</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Abrir carpeta</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>INT</source>
        <translation>INT</translation>
    </message>
    <message>
        <source>TOL</source>
        <translation>TOL</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Todos los archivos (*)</translation>
    </message>
</context>
<context>
    <name>qelto::gui::StripChart</name>
    <message>
        <source>Red</source>
        <translation>Rojo</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Azul</translation>
    </message>
    <message>
        <source>samples (0: newest)</source>
        <translation>muestras (0: la más reciente)</translation>
    </message>
    <message>
        <source>R G B</source>
        <translation>R G B</translation>
    </message>
    <message>
        <source>sample %1
R %2   G %3   B %4</source>
        <translation>muestra %1
R %2   G %3   B %4</translation>
    </message>
</context>
<context>
    <name>qelto::gui::TablePopup</name>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>qelto::gui::WindowMenu</name>
    <message>
        <source>&amp;Open parameters…</source>
        <translation>&amp;Abrir parámetros…</translation>
    </message>
    <message>
        <source>Open r&amp;ecent</source>
        <translation>Abrir r&amp;eciente</translation>
    </message>
    <message>
        <source>Save parameters &amp;as…</source>
        <translation>Guardar parámetros &amp;como…</translation>
    </message>
    <message>
        <source>&amp;Record live data…</source>
        <translation>&amp;Grabar datos en vivo…</translation>
    </message>
    <message>
        <source>Recording &amp;keeps</source>
        <translation>La grabación &amp;guarda</translation>
    </message>
    <message>
        <source>Co&amp;mpare…</source>
        <translation>Co&amp;mparar…</translation>
    </message>
    <message>
        <source>Export graph X–&amp;Y…</source>
        <translation>Exportar gráfico X–&amp;Y…</translation>
    </message>
    <message>
        <source>Export graph X–&amp;INT…</source>
        <translation>Exportar gráfico X–&amp;INT…</translation>
    </message>
    <message>
        <source>Export graph Y–I&amp;NT…</source>
        <translation>Exportar gráfico Y–I&amp;NT…</translation>
    </message>
    <message>
        <source>Export RGB &amp;strip chart…</source>
        <translation>Exportar &amp;registro RGB…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;Connection page</source>
        <translation>Página de &amp;conexión</translation>
    </message>
    <message>
        <source>&amp;Parameter page</source>
        <translation>Página de &amp;parámetros</translation>
    </message>
    <message>
        <source>Pa&amp;use graphs</source>
        <translation>Pa&amp;usar gráficos</translation>
    </message>
    <message>
        <source>&amp;Reset graph views</source>
        <translation>&amp;Restablecer vistas</translation>
    </message>
    <message>
        <source>&amp;Edit parameters</source>
        <translation>&amp;Editar parámetros</translation>
    </message>
    <message>
        <source>U&amp;ndo</source>
        <translation>Des&amp;hacer</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>Re&amp;hacer</translation>
    </message>
    <message>
        <source>Re&amp;vert</source>
        <translation>Re&amp;vertir</translation>
    </message>
    <message>
        <source>&amp;Link monitor</source>
        <translation>Monitor del &amp;enlace</translation>
    </message>
    <message>
        <source>Clear c&amp;onnection log</source>
        <translation>Borrar el registro de c&amp;onexión</translation>
    </message>
    <message>
        <source>&amp;Standard size</source>
        <translation>&amp;Tamaño estándar</translation>
    </message>
    <message>
        <source>&amp;Send</source>
        <translation>&amp;Send</translation>
    </message>
    <message>
        <source>&amp;Get</source>
        <translation>&amp;Get</translation>
    </message>
    <message>
        <source>&amp;EEPROM</source>
        <translation>&amp;EEPROM</translation>
    </message>
    <message>
        <source>&amp;FILE</source>
        <translation>&amp;FILE</translation>
    </message>
    <message>
        <source>G&amp;O</source>
        <translation>G&amp;O</translation>
    </message>
    <message>
        <source>S&amp;TOP</source>
        <translation>S&amp;TOP</translation>
    </message>
    <message>
        <source>Scan fre&amp;quency (FREQ)</source>
        <translation>Fre&amp;cuencia de exploración (FREQ)</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Conectar</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Desconectar</translation>
    </message>
    <message>
        <source>&amp;Reconnect</source>
        <translation>&amp;Reconectar</translation>
    </message>
    <message>
        <source>Reconnect automaticall&amp;y</source>
        <translation>Reconectar &amp;automáticamente</translation>
    </message>
    <message>
        <source>Port &amp;list</source>
        <translation>&amp;Lista de puertos</translation>
    </message>
    <message>
        <source>&amp;Accept settings</source>
        <translation>&amp;Aceptar ajustes</translation>
    </message>
    <message>
        <source>Start ass&amp;istant</source>
        <translation>Iniciar el as&amp;istente</translation>
    </message>
    <message>
        <source>&amp;About Qelto</source>
        <translation>&amp;Acerca de Qelto</translation>
    </message>
    <message>
        <source>Right-click a control for its help</source>
        <translation>Clic derecho en un control para su ayuda</translation>
    </message>
    <message>
        <source>Graphs: the wheel zooms, a drag pans, a double-click resets</source>
        <translation>Gráficos: la rueda amplía, arrastrar desplaza, doble clic restablece</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ver</translation>
    </message>
    <message>
        <source>&amp;Sensor</source>
        <translation>&amp;Sensor</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Ay&amp;uda</translation>
    </message>
    <message>
        <source>No parameter file yet</source>
        <translation>Aún no hay archivo de parámetros</translation>
    </message>
    <message>
        <source>&amp;Every sample</source>
        <translation>&amp;Cada muestra</translation>
    </message>
    <message>
        <source>One sample in &amp;N (now %1)…</source>
        <translation>Una muestra de cada &amp;N (ahora %1)…</translation>
    </message>
    <message>
        <source>One sample per &amp;interval (now %1 s)…</source>
        <translation>Una muestra por &amp;intervalo (ahora %1 s)…</translation>
    </message>
    <message>
        <source>Recording keeps</source>
        <translation>La grabación guarda</translation>
    </message>
    <message>
        <source>Keep one sample in:</source>
        <translation>Guardar una muestra de cada:</translation>
    </message>
    <message>
        <source>Keep one sample per interval of (seconds):</source>
        <translation>Guardar una muestra por intervalo de (segundos):</translation>
    </message>
    <message>
        <source>Export graph</source>
        <translation>Exportar gráfico</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>Imagen PNG (*.png)</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>Dibujo SVG (*.svg)</translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>Documento PDF (*.pdf)</translation>
    </message>
    <message>
        <source>The graph was not saved to %1: %2.</source>
        <translation>El gráfico no se guardó en %1: %2.</translation>
    </message>
    <message>
        <source>%1
Qelto %2

Configures and watches a KORVANEX colour sensor over RS-232 or TCP/IP; qelto-cli does the same from scripts, qelto-sim simulates a sensor.

Licence: GPL-3.0-or-later
Qt %3 (built with %4), QCustomPlot %5</source>
        <translation>%1
Qelto %2

Configura y observa un sensor de color KORVANEX por RS-232 o TCP/IP; qelto-cli hace lo mismo desde scripts, qelto-sim simula un sensor.

Licencia: GPL-3.0-or-later
Qt %3 (compilado con %4), QCustomPlot %5</translation>
    </message>
    <message>
        <source>About Qelto</source>
        <translation>Acerca de Qelto</translation>
    </message>
    <message>
        <source>RA&amp;M</source>
        <translation>RA&amp;M</translation>
    </message>
    <message>
        <source>Store i&amp;n EEPROM</source>
        <translation>Store i&amp;n EEPROM</translation>
    </message>
</context>
</TS>
