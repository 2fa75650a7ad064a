<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>qelto</name>
    <message>
        <source>Compare</source>
        <translation>Vergleichen</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Aufzeichnen</translation>
    </message>
    <message>
        <source>The assistant</source>
        <translation>Der Assistent</translation>
    </message>
    <message>
        <source>The memory selection</source>
        <translation>Die Speicherwahl</translation>
    </message>
    <message>
        <source>data transfer</source>
        <translation>die Datenübertragung</translation>
    </message>
    <message>
        <source>%1 cannot run now: %2 is running.</source>
        <translation>%1 ist jetzt nicht möglich: %2 läuft.</translation>
    </message>
    <message>
        <source>%1 is not available: no sensor is connected.</source>
        <translation>%1 ist nicht verfügbar: kein Sensor verbunden.</translation>
    </message>
    <message>
        <source>%1 is not available now.</source>
        <translation>%1 ist jetzt nicht verfügbar.</translation>
    </message>
    <message>
        <source>Compare the parameters and teach table shown 
with the sensor or with a parameter file?</source>
        <translation>Die angezeigten Parameter und die Teach-Tabelle 
mit dem Sensor oder mit einer Parameterdatei vergleichen?</translation>
    </message>
    <message>
        <source>No sensor is connected: 
compare with a parameter file, or connect first.</source>
        <translation>Kein Sensor verbunden: 
mit einer Parameterdatei vergleichen oder zuerst verbinden.</translation>
    </message>
    <message>
        <source>No differences: a Send would change nothing.</source>
        <translation>Keine Unterschiede: ein Send würde nichts ändern.</translation>
    </message>
    <message>
        <source>A Send would change in the sensor (sensor -&gt; shown):

</source>
        <translation>Ein Send würde im Sensor ändern (Sensor -&gt; angezeigt):

</translation>
    </message>
    <message>
        <source>Differences between the file and what is shown (file -&gt; shown):

</source>
        <translation>Unterschiede zwischen der Datei und der Anzeige (Datei -&gt; angezeigt):

</translation>
    </message>
    <message>
        <source>Connecting: %1</source>
        <translation>Verbinde: %1</translation>
    </message>
    <message>
        <source>Connected: %1 — %2, serial %3</source>
        <translation>Verbunden: %1 — %2, Seriennr. %3</translation>
    </message>
    <message>
        <source>%1; %2 at %3</source>
        <translation>%1; %2 um %3</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>Offline — %1</source>
        <translation>Offline — %1</translation>
    </message>
    <message>
        <source>Offline%1: %2</source>
        <translation>Offline%1: %2</translation>
    </message>
    <message>
        <source>Lost %1 — %2</source>
        <translation>Verloren %1 — %2</translation>
    </message>
    <message>
        <source>Link lost at %1%2: %3</source>
        <translation>Verbindung verloren um %1%2: %3</translation>
    </message>
    <message>
        <source>; reconnecting, first attempt in 2 s</source>
        <translation>; verbinde neu, erster Versuch in 2 s</translation>
    </message>
    <message>
        <source>; reconnecting, attempt %1</source>
        <translation>; verbinde neu, Versuch %1</translation>
    </message>
    <message>
        <source>Send and Get pressed during data transfer were not carried out.</source>
        <translation>Während der Datenübertragung gedrücktes Send und Get wurden nicht ausgeführt.</translation>
    </message>
    <message>
        <source>could not connect</source>
        <translation>keine Verbindung möglich</translation>
    </message>
    <message>
        <source>connection closed</source>
        <translation>Verbindung geschlossen</translation>
    </message>
    <message>
        <source>no reply in time</source>
        <translation>keine Antwort in der Zeit</translation>
    </message>
    <message>
        <source>corrupted reply</source>
        <translation>fehlerhafte Antwort</translation>
    </message>
    <message>
        <source>refused by the sensor</source>
        <translation>vom Sensor abgelehnt</translation>
    </message>
    <message>
        <source>
Send these values to the sensor?</source>
        <translation>
Diese Werte an den Sensor senden?</translation>
    </message>
    <message>
        <source>No differences: the sensor holds every value shown.</source>
        <translation>Keine Unterschiede: der Sensor hat jeden angezeigten Wert.</translation>
    </message>
    <message>
        <source>What the sensor holds has not been read since connecting.

Send every value shown to the sensor?</source>
        <translation>Was der Sensor enthält, wurde seit dem Verbinden nicht gelesen.

Alle angezeigten Werte an den Sensor senden?</translation>
    </message>
    <message>
        <source>%1: %2 is outside 0..65535; the value stays %3.</source>
        <translation>%1: %2 liegt außerhalb 0..65535; der Wert bleibt %3.</translation>
    </message>
    <message>
        <source>that</source>
        <translation>das</translation>
    </message>
    <message>
        <source>Sent: %1
The sensor holds: %2</source>
        <translation>Gesendet: %1
Im Sensor: %2</translation>
    </message>
    <message>
        <source>The sensor holds other values than when the link was lost: it was reset, or changed by someone else.
Nothing was written to it. The values shown stay; those the sensor holds otherwise are marked.

Before the loss -&gt; now:
</source>
        <translation>Der Sensor hat andere Werte als beim Verbindungsverlust: er wurde zurückgesetzt oder von jemand anderem geändert.
Es wurde nichts an ihn geschrieben. Die angezeigten Werte bleiben; die im Sensor abweichenden sind markiert.

Vor dem Verlust -&gt; jetzt:
</translation>
    </message>
    <message>
        <source>Another sensor answers (%1), not the one that was connected (%2).
Automatic reconnection has stopped; nothing was written to it. Connect to work with it.</source>
        <translation>Ein anderer Sensor antwortet (%1), nicht der verbundene (%2).
Das automatische Neuverbinden wurde beendet; es wurde nichts an ihn geschrieben. Verbinden, um mit ihm zu arbeiten.</translation>
    </message>
    <message>
        <source>Reconnected after %1</source>
        <translation>Wieder verbunden nach %1</translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n value other than before (marked)</source>
        <translation>
            <numerusform>; der Sensor hat %n Wert anders als vorher (markiert)</numerusform>
            <numerusform>; der Sensor hat %n Wert anders als vorher (markiert)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n values other than before (marked)</source>
        <translation>
            <numerusform>; der Sensor hat %n Wert anders als vorher (markiert)</numerusform>
            <numerusform>; der Sensor hat %n Werte anders als vorher (markiert)</numerusform>
        </translation>
    </message>
    <message>
        <source>; GO and the recording go on (a gap of %1 in the file)</source>
        <translation>; GO und die Aufzeichnung laufen weiter (eine Lücke von %1 in der Datei)</translation>
    </message>
    <message>
        <source>; GO goes on</source>
        <translation>; GO läuft weiter</translation>
    </message>
    <message>
        <source>Send: the parameters go to the sensor between two samples.</source>
        <translation>Send: die Parameter gehen zwischen zwei Messwerten an den Sensor.</translation>
    </message>
    <message>
        <source>Now at their defaults, unlike what was shown (shown -&gt; sensor):
</source>
        <translation>Jetzt auf ihren Standardwerten, anders als angezeigt (angezeigt -&gt; Sensor):
</translation>
    </message>
    <message>
        <source>Get: the parameters are read from the sensor between two samples.</source>
        <translation>Get: die Parameter werden zwischen zwei Messwerten vom Sensor gelesen.</translation>
    </message>
    <message>
        <source>Send: to a parameter file; choose it.</source>
        <translation>Send: in eine Parameterdatei; bitte wählen.</translation>
    </message>
    <message>
        <source>Get: from a parameter file; choose it.</source>
        <translation>Get: aus einer Parameterdatei; bitte wählen.</translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent change?</source>
        <translation>
            <numerusform>%n nicht gesendete Änderung verwerfen?</numerusform>
            <numerusform>%n nicht gesendete Änderung verwerfen?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent changes?</source>
        <translation>
            <numerusform>%n nicht gesendete Änderung verwerfen?</numerusform>
            <numerusform>%n nicht gesendete Änderungen verwerfen?</numerusform>
        </translation>
    </message>
    <message>
        <source>Not connected yet</source>
        <translation>Noch nicht verbunden</translation>
    </message>
    <message>
        <source>Not sent yet: the sensor holds %1</source>
        <translation>Noch nicht gesendet: der Sensor hat %1</translation>
    </message>
    <message>
        <source>The sensor holds %1</source>
        <translation>Der Sensor hat %1</translation>
    </message>
    <message>
        <source>The sensor refused these values at the last Send (sent -&gt; holds):

</source>
        <translation>Der Sensor hat diese Werte beim letzten Send abgelehnt (gesendet -&gt; im Sensor):

</translation>
    </message>
    <message>
        <source>
Send them again?</source>
        <translation>
Erneut senden?</translation>
    </message>
    <message>
        <source>The answer to the last Send was lost: the sensor may hold what was sent, or what it held before. It may hold: </source>
        <translation>Die Antwort auf das letzte Send ging verloren: der Sensor kann das Gesendete oder das Vorherige enthalten. Er kann enthalten: </translation>
    </message>
    <message>
        <source>Read back what its RAM holds now? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>Zurücklesen, was sein RAM jetzt enthält? Es wird nichts geschrieben; die angezeigten Werte bleiben, abweichende werden markiert.</translation>
    </message>
    <message>
        <source>Read back what its EEPROM holds (loaded into RAM, as Get does)? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>Zurücklesen, was sein EEPROM enthält (ins RAM geladen, wie Get es tut)? Es wird nichts geschrieben; die angezeigten Werte bleiben, abweichende werden markiert.</translation>
    </message>
    <message>
        <source>Not taken by the sensor (sent -&gt; holds):
</source>
        <translation>Vom Sensor nicht übernommen (gesendet -&gt; im Sensor):
</translation>
    </message>
    <message>
        <source>RAM only: lost at power-off</source>
        <translation>Nur im RAM: beim Ausschalten verloren</translation>
    </message>
    <message>
        <source>Values were sent to the sensor&apos;s RAM alone. It works with them now, but at the next power-on it starts with what its EEPROM holds. Store in EEPROM keeps them.</source>
        <translation>Werte wurden nur in das RAM des Sensors gesendet. Er arbeitet jetzt mit ihnen, startet aber beim nächsten Einschalten mit dem Inhalt seines EEPROM. Store in EEPROM behält sie.</translation>
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
        <translation>Farbraum-Grafik, %1 waagerecht, %2 senkrecht</translation>
    </message>
    <message>
        <source>colour %1</source>
        <translation>Farbe %1</translation>
    </message>
    <message>
        <source>colours %1</source>
        <translation>Farben %1</translation>
    </message>
</context>
<context>
    <name>qelto::gui::EditorView</name>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Meaning</source>
        <translation>Bedeutung</translation>
    </message>
    <message>
        <source>E&amp;dit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Revert</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Pa&amp;rameters</source>
        <translation>Pa&amp;rameter</translation>
    </message>
    <message>
        <source>&amp;Teach rows</source>
        <translation>&amp;Teach-Zeilen</translation>
    </message>
</context>
<context>
    <name>qelto::gui::EvidenceBar</name>
    <message>
        <source>Teach from sensor</source>
        <translation>Vom Sensor einlernen</translation>
    </message>
    <message>
        <source> samples</source>
        <translation> Messwerte</translation>
    </message>
    <message>
        <source>Chec&amp;k tolerances…</source>
        <translation>Toleranzen &amp;prüfen…</translation>
    </message>
    <message>
        <source>Cloud</source>
        <translation>Wolke</translation>
    </message>
</context>
<context>
    <name>qelto::gui::ExplorablePlot</name>
    <message>
        <source>paused</source>
        <translation>angehalten</translation>
    </message>
    <message>
        <source>the name must end in .png, .svg or .pdf</source>
        <translation>der Name muss auf .png, .svg oder .pdf enden</translation>
    </message>
    <message>
        <source>it could not be written</source>
        <translation>sie konnte nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>qelto::gui::GenericPopup</name>
    <message>
        <source>Answer</source>
        <translation>Antwort</translation>
    </message>
</context>
<context>
    <name>qelto::gui::LinkMonitorPanel</name>
    <message>
        <source>Link monitor</source>
        <translation>Verbindungsmonitor</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>Cl&amp;ear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>All commands</source>
        <translation>Alle Befehle</translation>
    </message>
    <message>
        <source>&amp;Command</source>
        <translation>Be&amp;fehl</translation>
    </message>
    <message>
        <source>Every &amp;live-data exchange</source>
        <translation>Jeder &amp;Live-Daten-Austausch</translation>
    </message>
    <message>
        <source>Otherwise the live-data exchanges that went well are folded into one counting line</source>
        <translation>Sonst werden gelungene Live-Daten-Austausche in eine Zählzeile zusammengefasst</translation>
    </message>
    <message>
        <source>&amp;Failures only</source>
        <translation>Nur &amp;Fehler</translation>
    </message>
    <message>
        <source>Only the replies that were rejected or did not come</source>
        <translation>Nur abgelehnte oder ausgebliebene Antworten</translation>
    </message>
    <message>
        <source>&amp;Bytes</source>
        <translation>&amp;Bytes</translation>
    </message>
    <message>
        <source>The bytes in hex, and below the list the selected line&apos;s frames with their offsets and ASCII</source>
        <translation>Die Bytes hexadezimal, und unter der Liste die Rahmen der gewählten Zeile mit Offsets und ASCII</translation>
    </message>
    <message>
        <source>&amp;Save as text…</source>
        <translation>Als Text &amp;speichern…</translation>
    </message>
    <message>
        <source>Argument</source>
        <translation>Argument</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Länge</translation>
    </message>
    <message>
        <source>Requests and replies</source>
        <translation>Anfragen und Antworten</translation>
    </message>
    <message>
        <source>Bytes of the selected line</source>
        <translation>Bytes der gewählten Zeile</translation>
    </message>
    <message>
        <source>No line.</source>
        <translation>Keine Zeile.</translation>
    </message>
    <message>
        <source>&lt; reply: nothing came</source>
        <translation>&lt; Antwort: nichts kam</translation>
    </message>
    <message>
        <source>1 line</source>
        <translation>1 Zeile</translation>
    </message>
    <message>
        <source>%1 lines</source>
        <translation>%1 Zeilen</translation>
    </message>
    <message>
        <source>, the oldest %1 no longer kept (the monitor keeps the last %2)</source>
        <translation>, die ältesten %1 nicht mehr behalten (der Monitor behält die letzten %2)</translation>
    </message>
    <message>
        <source>; paused, the record goes on</source>
        <translation>; angehalten, die Aufzeichnung läuft weiter</translation>
    </message>
    <message>
        <source>Save the link monitor as text</source>
        <translation>Verbindungsmonitor als Text speichern</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The link monitor was not saved to %1: %2.</source>
        <translation>Der Verbindungsmonitor wurde nicht in %1 gespeichert: %2.</translation>
    </message>
</context>
<context>
    <name>qelto::gui::MonitorTableModel</name>
    <message>
        <source>request</source>
        <translation>Anfrage</translation>
    </message>
    <message>
        <source>reply</source>
        <translation>Antwort</translation>
    </message>
    <message>
        <source>requests and replies, folded</source>
        <translation>Anfragen und Antworten, zusammengefasst</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Argument</source>
        <translation>Argument</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Länge</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
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
        <translation>Neu verbinden</translation>
    </message>
    <message>
        <source>Auto-reconnect</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Ordner öffnen</translation>
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
        <translation>OK</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>qelto::gui::StripChart</name>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>samples (0: newest)</source>
        <translation>Messwerte (0: neuester)</translation>
    </message>
    <message>
        <source>R G B</source>
        <translation>R G B</translation>
    </message>
    <message>
        <source>sample %1
R %2   G %3   B %4</source>
        <translation>Messwert %1
R %2   G %3   B %4</translation>
    </message>
</context>
<context>
    <name>qelto::gui::TablePopup</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>qelto::gui::WindowMenu</name>
    <message>
        <source>&amp;Open parameters…</source>
        <translation>Parameter ö&amp;ffnen…</translation>
    </message>
    <message>
        <source>Open r&amp;ecent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>Save parameters &amp;as…</source>
        <translation>Parameter speichern &amp;unter…</translation>
    </message>
    <message>
        <source>&amp;Record live data…</source>
        <translation>Live-Daten &amp;aufzeichnen…</translation>
    </message>
    <message>
        <source>Recording &amp;keeps</source>
        <translation>Aufzeichnung &amp;behält</translation>
    </message>
    <message>
        <source>Co&amp;mpare…</source>
        <translation>&amp;Vergleichen…</translation>
    </message>
    <message>
        <source>Export graph X–&amp;Y…</source>
        <translation>Grafik X–&amp;Y exportieren…</translation>
    </message>
    <message>
        <source>Export graph X–&amp;INT…</source>
        <translation>Grafik X–&amp;INT exportieren…</translation>
    </message>
    <message>
        <source>Export graph Y–I&amp;NT…</source>
        <translation>Grafik Y–I&amp;NT exportieren…</translation>
    </message>
    <message>
        <source>Export RGB &amp;strip chart…</source>
        <translation>RGB-&amp;Verlauf exportieren…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Connection page</source>
        <translation>&amp;Verbindungsseite</translation>
    </message>
    <message>
        <source>&amp;Parameter page</source>
        <translation>&amp;Parameterseite</translation>
    </message>
    <message>
        <source>Pa&amp;use graphs</source>
        <translation>Grafiken an&amp;halten</translation>
    </message>
    <message>
        <source>&amp;Reset graph views</source>
        <translation>Grafikansichten &amp;zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Edit parameters</source>
        <translation>Parameter &amp;bearbeiten</translation>
    </message>
    <message>
        <source>U&amp;ndo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Re&amp;vert</source>
        <translation>Zurück&amp;setzen</translation>
    </message>
    <message>
        <source>&amp;Link monitor</source>
        <translation>Verbindungs&amp;monitor</translation>
    </message>
    <message>
        <source>Clear c&amp;onnection log</source>
        <translation>Verbindungsprotokoll &amp;leeren</translation>
    </message>
    <message>
        <source>&amp;Standard size</source>
        <translation>&amp;Standardgröße</translation>
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
        <translation>Scan-&amp;Frequenz (FREQ)</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Verbinden</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Trennen</translation>
    </message>
    <message>
        <source>&amp;Reconnect</source>
        <translation>&amp;Neu verbinden</translation>
    </message>
    <message>
        <source>Reconnect automaticall&amp;y</source>
        <translation>&amp;Automatisch neu verbinden</translation>
    </message>
    <message>
        <source>Port &amp;list</source>
        <translation>Port&amp;liste</translation>
    </message>
    <message>
        <source>&amp;Accept settings</source>
        <translation>Einstellungen &amp;übernehmen</translation>
    </message>
    <message>
        <source>Start ass&amp;istant</source>
        <translation>Ass&amp;istent starten</translation>
    </message>
    <message>
        <source>&amp;About Qelto</source>
        <translation>&amp;Über Qelto</translation>
    </message>
    <message>
        <source>Right-click a control for its help</source>
        <translation>Rechtsklick auf ein Bedienelement zeigt seine Hilfe</translation>
    </message>
    <message>
        <source>Graphs: the wheel zooms, a drag pans, a double-click resets</source>
        <translation>Grafiken: Mausrad zoomt, Ziehen verschiebt, Doppelklick setzt zurück</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Sensor</source>
        <translation>&amp;Sensor</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>No parameter file yet</source>
        <translation>Noch keine Parameterdatei</translation>
    </message>
    <message>
        <source>&amp;Every sample</source>
        <translation>&amp;Jeden Messwert</translation>
    </message>
    <message>
        <source>One sample in &amp;N (now %1)…</source>
        <translation>Einen von &amp;N Messwerten (jetzt %1)…</translation>
    </message>
    <message>
        <source>One sample per &amp;interval (now %1 s)…</source>
        <translation>Einen Messwert je &amp;Intervall (jetzt %1 s)…</translation>
    </message>
    <message>
        <source>Recording keeps</source>
        <translation>Aufzeichnung behält</translation>
    </message>
    <message>
        <source>Keep one sample in:</source>
        <translation>Einen Messwert behalten von:</translation>
    </message>
    <message>
        <source>Keep one sample per interval of (seconds):</source>
        <translation>Einen Messwert je Intervall behalten (Sekunden):</translation>
    </message>
    <message>
        <source>Export graph</source>
        <translation>Grafik exportieren</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>PNG-Bild (*.png)</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>SVG-Zeichnung (*.svg)</translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>PDF-Dokument (*.pdf)</translation>
    </message>
    <message>
        <source>The graph was not saved to %1: %2.</source>
        <translation>Die Grafik wurde nicht in %1 gespeichert: %2.</translation>
    </message>
    <message>
        <source>%1
Qelto %2

Configures and watches a KORVANEX colour sensor over RS-232 or TCP/IP; qelto-cli does the same from scripts, qelto-sim simulates a sensor.

Licence: GPL-3.0-or-later
Qt %3 (built with %4), QCustomPlot %5</source>
        <translation>%1
Qelto %2

Konfiguriert und beobachtet einen KORVANEX-Farbsensor über RS-232 oder TCP/IP; qelto-cli tut dasselbe aus Skripten, qelto-sim simuliert einen Sensor.

Lizenz: GPL-3.0-or-later
Qt %3 (gebaut mit %4), QCustomPlot %5</translation>
    </message>
    <message>
        <source>About Qelto</source>
        <translation>Über Qelto</translation>
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
