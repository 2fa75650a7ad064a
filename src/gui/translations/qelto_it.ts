<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en">
<context>
    <name>qelto</name>
    <message>
        <source>Compare</source>
        <translation>Confronta</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Registra</translation>
    </message>
    <message>
        <source>The assistant</source>
        <translation>L&apos;assistente</translation>
    </message>
    <message>
        <source>The memory selection</source>
        <translation>La scelta della memoria</translation>
    </message>
    <message>
        <source>data transfer</source>
        <translation>il trasferimento dati</translation>
    </message>
    <message>
        <source>%1 cannot run now: %2 is running.</source>
        <translation>%1 non è possibile ora: %2 è in corso.</translation>
    </message>
    <message>
        <source>%1 is not available: no sensor is connected.</source>
        <translation>%1 non è disponibile: nessun sensore collegato.</translation>
    </message>
    <message>
        <source>%1 is not available now.</source>
        <translation>%1 non è disponibile ora.</translation>
    </message>
    <message>
        <source>Compare the parameters and teach table shown 
with the sensor or with a parameter file?</source>
        <translation>Confrontare i parametri e la tabella di apprendimento mostrati 
con il sensore o con un file di parametri?</translation>
    </message>
    <message>
        <source>No sensor is connected: 
compare with a parameter file, or connect first.</source>
        <translation>Nessun sensore collegato: 
confrontare con un file di parametri o collegarsi prima.</translation>
    </message>
    <message>
        <source>No differences: a Send would change nothing.</source>
        <translation>Nessuna differenza: un Send non cambierebbe nulla.</translation>
    </message>
    <message>
        <source>A Send would change in the sensor (sensor -&gt; shown):

</source>
        <translation>Un Send cambierebbe nel sensore (sensore -&gt; mostrato):

</translation>
    </message>
    <message>
        <source>Differences between the file and what is shown (file -&gt; shown):

</source>
        <translation>Differenze tra il file e quanto mostrato (file -&gt; mostrato):

</translation>
    </message>
    <message>
        <source>Connecting: %1</source>
        <translation>Connessione: %1</translation>
    </message>
    <message>
        <source>Connected: %1 — %2, serial %3</source>
        <translation>Collegato: %1 — %2, serie %3</translation>
    </message>
    <message>
        <source>%1; %2 at %3</source>
        <translation>%1; %2 alle %3</translation>
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
        <translation>Perso %1 — %2</translation>
    </message>
    <message>
        <source>Link lost at %1%2: %3</source>
        <translation>Collegamento perso alle %1%2: %3</translation>
    </message>
    <message>
        <source>; reconnecting, first attempt in 2 s</source>
        <translation>; riconnessione, primo tentativo tra 2 s</translation>
    </message>
    <message>
        <source>; reconnecting, attempt %1</source>
        <translation>; riconnessione, tentativo %1</translation>
    </message>
    <message>
        <source>Send and Get pressed during data transfer were not carried out.</source>
        <translation>Send e Get premuti durante il trasferimento dati non sono stati eseguiti.</translation>
    </message>
    <message>
        <source>could not connect</source>
        <translation>connessione non riuscita</translation>
    </message>
    <message>
        <source>connection closed</source>
        <translation>connessione chiusa</translation>
    </message>
    <message>
        <source>no reply in time</source>
        <translation>nessuna risposta in tempo</translation>
    </message>
    <message>
        <source>corrupted reply</source>
        <translation>risposta corrotta</translation>
    </message>
    <message>
        <source>refused by the sensor</source>
        <translation>rifiutato dal sensore</translation>
    </message>
    <message>
        <source>
Send these values to the sensor?</source>
        <translation>
Inviare questi valori al sensore?</translation>
    </message>
    <message>
        <source>No differences: the sensor holds every value shown.</source>
        <translation>Nessuna differenza: il sensore contiene tutti i valori mostrati.</translation>
    </message>
    <message>
        <source>What the sensor holds has not been read since connecting.

Send every value shown to the sensor?</source>
        <translation>Il contenuto del sensore non è stato letto dal collegamento.

Inviare tutti i valori mostrati al sensore?</translation>
    </message>
    <message>
        <source>%1: %2 is outside 0..65535; the value stays %3.</source>
        <translation>%1: %2 è fuori da 0..65535; il valore resta %3.</translation>
    </message>
    <message>
        <source>that</source>
        <translation>questo</translation>
    </message>
    <message>
        <source>Sent: %1
The sensor holds: %2</source>
        <translation>Inviato: %1
Il sensore contiene: %2</translation>
    </message>
    <message>
        <source>The sensor holds other values than when the link was lost: it was reset, or changed by someone else.
Nothing was written to it. The values shown stay; those the sensor holds otherwise are marked.

Before the loss -&gt; now:
</source>
        <translation>Il sensore contiene valori diversi da quando il collegamento è stato perso: è stato azzerato o modificato da qualcun altro.
Non gli è stato scritto nulla. I valori mostrati restano; quelli diversi nel sensore sono contrassegnati.

Prima della perdita -&gt; ora:
</translation>
    </message>
    <message>
        <source>Another sensor answers (%1), not the one that was connected (%2).
Automatic reconnection has stopped; nothing was written to it. Connect to work with it.</source>
        <translation>Risponde un altro sensore (%1), non quello collegato (%2).
La riconnessione automatica si è fermata; non gli è stato scritto nulla. Collegarsi per lavorarci.</translation>
    </message>
    <message>
        <source>Reconnected after %1</source>
        <translation>Ricollegato dopo %1</translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n value other than before (marked)</source>
        <translation>
            <numerusform>; il sensore contiene %n valore diverso da prima (contrassegnato)</numerusform>
            <numerusform>; il sensore contiene %n valore diverso da prima (contrassegnato)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n values other than before (marked)</source>
        <translation>
            <numerusform>; il sensore contiene %n valore diverso da prima (contrassegnato)</numerusform>
            <numerusform>; il sensore contiene %n valori diversi da prima (contrassegnati)</numerusform>
        </translation>
    </message>
    <message>
        <source>; GO and the recording go on (a gap of %1 in the file)</source>
        <translation>; GO e la registrazione continuano (un vuoto di %1 nel file)</translation>
    </message>
    <message>
        <source>; GO goes on</source>
        <translation>; GO continua</translation>
    </message>
    <message>
        <source>Send: the parameters go to the sensor between two samples.</source>
        <translation>Send: i parametri vanno al sensore tra due campioni.</translation>
    </message>
    <message>
        <source>Now at their defaults, unlike what was shown (shown -&gt; sensor):
</source>
        <translation>Ora ai loro valori predefiniti, diversamente da quanto mostrato (mostrato -&gt; sensore):
</translation>
    </message>
    <message>
        <source>Get: the parameters are read from the sensor between two samples.</source>
        <translation>Get: i parametri vengono letti dal sensore tra due campioni.</translation>
    </message>
    <message>
        <source>Send: to a parameter file; choose it.</source>
        <translation>Send: in un file di parametri; sceglierlo.</translation>
    </message>
    <message>
        <source>Get: from a parameter file; choose it.</source>
        <translation>Get: da un file di parametri; sceglierlo.</translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent change?</source>
        <translation>
            <numerusform>Scartare %n modifica non inviata?</numerusform>
            <numerusform>Scartare %n modifica non inviata?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent changes?</source>
        <translation>
            <numerusform>Scartare %n modifica non inviata?</numerusform>
            <numerusform>Scartare %n modifiche non inviate?</numerusform>
        </translation>
    </message>
    <message>
        <source>Not connected yet</source>
        <translation>Non ancora collegato</translation>
    </message>
    <message>
        <source>Not sent yet: the sensor holds %1</source>
        <translation>Non ancora inviato: il sensore contiene %1</translation>
    </message>
    <message>
        <source>The sensor holds %1</source>
        <translation>Il sensore contiene %1</translation>
    </message>
    <message>
        <source>The sensor refused these values at the last Send (sent -&gt; holds):

</source>
        <translation>Il sensore ha rifiutato questi valori all&apos;ultimo Send (inviato -&gt; contenuto):

</translation>
    </message>
    <message>
        <source>
Send them again?</source>
        <translation>
Inviarli di nuovo?</translation>
    </message>
    <message>
        <source>The answer to the last Send was lost: the sensor may hold what was sent, or what it held before. It may hold: </source>
        <translation>La risposta all&apos;ultimo Send è andata persa: il sensore può contenere quanto inviato o quanto conteneva prima. Può contenere: </translation>
    </message>
    <message>
        <source>Read back what its RAM holds now? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>Rileggere il contenuto attuale della sua RAM? Non viene scritto nulla; i valori mostrati restano e quelli diversi sono contrassegnati.</translation>
    </message>
    <message>
        <source>Read back what its EEPROM holds (loaded into RAM, as Get does)? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>Rileggere il contenuto della sua EEPROM (caricata nella RAM, come fa Get)? Non viene scritto nulla; i valori mostrati restano e quelli diversi sono contrassegnati.</translation>
    </message>
    <message>
        <source>Not taken by the sensor (sent -&gt; holds):
</source>
        <translation>Non accettati dal sensore (inviato -&gt; contenuto):
</translation>
    </message>
    <message>
        <source>RAM only: lost at power-off</source>
        <translation>Solo in RAM: perso allo spegnimento</translation>
    </message>
    <message>
        <source>Values were sent to the sensor&apos;s RAM alone. It works with them now, but at the next power-on it starts with what its EEPROM holds. Store in EEPROM keeps them.</source>
        <translation>Sono stati inviati valori solo alla RAM del sensore. Ora lavora con essi, ma alla prossima accensione riparte da quanto contiene la sua EEPROM. Store in EEPROM li conserva.</translation>
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
        <translation>Grafico dello spazio colore, %1 in orizzontale, %2 in verticale</translation>
    </message>
    <message>
        <source>colour %1</source>
        <translation>colore %1</translation>
    </message>
    <message>
        <source>colours %1</source>
        <translation>colori %1</translation>
    </message>
</context>
<context>
    <name>qelto::gui::EditorView</name>
    <message>
        <source>Value</source>
        <translation>Valore</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppo</translation>
    </message>
    <message>
        <source>Meaning</source>
        <translation>Significato</translation>
    </message>
    <message>
        <source>E&amp;dit</source>
        <translation>Mo&amp;difica</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Ripeti</translation>
    </message>
    <message>
        <source>Revert</source>
        <translation>Ripristina</translation>
    </message>
    <message>
        <source>Pa&amp;rameters</source>
        <translation>Pa&amp;rametri</translation>
    </message>
    <message>
        <source>&amp;Teach rows</source>
        <translation>Righe di apprendimen&amp;to</translation>
    </message>
</context>
<context>
    <name>qelto::gui::EvidenceBar</name>
    <message>
        <source>Teach from sensor</source>
        <translation>Apprendi dal sensore</translation>
    </message>
    <message>
        <source> samples</source>
        <translation> campioni</translation>
    </message>
    <message>
        <source>Chec&amp;k tolerances…</source>
        <translation>&amp;Verifica tolleranze…</translation>
    </message>
    <message>
        <source>Cloud</source>
        <translation>Nuvola</translation>
    </message>
</context>
<context>
    <name>qelto::gui::ExplorablePlot</name>
    <message>
        <source>paused</source>
        <translation>in pausa</translation>
    </message>
    <message>
        <source>the name must end in .png, .svg or .pdf</source>
        <translation>il nome deve finire con .png, .svg o .pdf</translation>
    </message>
    <message>
        <source>it could not be written</source>
        <translation>non è stato possibile scriverlo</translation>
    </message>
</context>
<context>
    <name>qelto::gui::GenericPopup</name>
    <message>
        <source>Answer</source>
        <translation>Risposta</translation>
    </message>
</context>
<context>
    <name>qelto::gui::LinkMonitorPanel</name>
    <message>
        <source>Link monitor</source>
        <translation>Monitor del collegamento</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pausa</translation>
    </message>
    <message>
        <source>Cl&amp;ear</source>
        <translation>Pu&amp;lisci</translation>
    </message>
    <message>
        <source>All commands</source>
        <translation>Tutti i comandi</translation>
    </message>
    <message>
        <source>&amp;Command</source>
        <translation>&amp;Comando</translation>
    </message>
    <message>
        <source>Every &amp;live-data exchange</source>
        <translation>Ogni scambio di dati &amp;live</translation>
    </message>
    <message>
        <source>Otherwise the live-data exchanges that went well are folded into one counting line</source>
        <translation>Altrimenti gli scambi di dati live riusciti sono raggruppati in una riga di conteggio</translation>
    </message>
    <message>
        <source>&amp;Failures only</source>
        <translation>Solo &amp;errori</translation>
    </message>
    <message>
        <source>Only the replies that were rejected or did not come</source>
        <translation>Solo le risposte rifiutate o non arrivate</translation>
    </message>
    <message>
        <source>&amp;Bytes</source>
        <translation>&amp;Byte</translation>
    </message>
    <message>
        <source>The bytes in hex, and below the list the selected line&apos;s frames with their offsets and ASCII</source>
        <translation>I byte in esadecimale e, sotto l&apos;elenco, i frame della riga scelta con offset e ASCII</translation>
    </message>
    <message>
        <source>&amp;Save as text…</source>
        <translation>&amp;Salva come testo…</translation>
    </message>
    <message>
        <source>Argument</source>
        <translation>Argomento</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Lunghezza</translation>
    </message>
    <message>
        <source>Requests and replies</source>
        <translation>Richieste e risposte</translation>
    </message>
    <message>
        <source>Bytes of the selected line</source>
        <translation>Byte della riga scelta</translation>
    </message>
    <message>
        <source>No line.</source>
        <translation>Nessuna riga.</translation>
    </message>
    <message>
        <source>&lt; reply: nothing came</source>
        <translation>&lt; risposta: non è arrivato nulla</translation>
    </message>
    <message>
        <source>1 line</source>
        <translation>1 riga</translation>
    </message>
    <message>
        <source>%1 lines</source>
        <translation>%1 righe</translation>
    </message>
    <message>
        <source>, the oldest %1 no longer kept (the monitor keeps the last %2)</source>
        <translation>, le %1 più vecchie non sono più conservate (il monitor conserva le ultime %2)</translation>
    </message>
    <message>
        <source>; paused, the record goes on</source>
        <translation>; in pausa, la registrazione continua</translation>
    </message>
    <message>
        <source>Save the link monitor as text</source>
        <translation>Salva il monitor del collegamento come testo</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>File di testo (*.txt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Tutti i file (*)</translation>
    </message>
    <message>
        <source>The link monitor was not saved to %1: %2.</source>
        <translation>Il monitor del collegamento non è stato salvato in %1: %2.</translation>
    </message>
</context>
<context>
    <name>qelto::gui::MonitorTableModel</name>
    <message>
        <source>request</source>
        <translation>richiesta</translation>
    </message>
    <message>
        <source>reply</source>
        <translation>risposta</translation>
    </message>
    <message>
        <source>requests and replies, folded</source>
        <translation>richieste e risposte, raggruppate</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Ora</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Comando</translation>
    </message>
    <message>
        <source>Argument</source>
        <translation>Argomento</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Lunghezza</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Risultato</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>Byte</translation>
    </message>
</context>
<context>
    <name>qelto::gui::QtUi</name>
    <message>
        <source>Reconnect</source>
        <translation>Ricollega</translation>
    </message>
    <message>
        <source>Auto-reconnect</source>
        <translation>Ricollega auto</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Apri cartella</translation>
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
        <translation>Tutti i file (*)</translation>
    </message>
</context>
<context>
    <name>qelto::gui::StripChart</name>
    <message>
        <source>Red</source>
        <translation>Rosso</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blu</translation>
    </message>
    <message>
        <source>samples (0: newest)</source>
        <translation>campioni (0: il più recente)</translation>
    </message>
    <message>
        <source>R G B</source>
        <translation>R G B</translation>
    </message>
    <message>
        <source>sample %1
R %2   G %3   B %4</source>
        <translation>campione %1
R %2   G %3   B %4</translation>
    </message>
</context>
<context>
    <name>qelto::gui::TablePopup</name>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
</context>
<context>
    <name>qelto::gui::WindowMenu</name>
    <message>
        <source>&amp;Open parameters…</source>
        <translation>&amp;Apri parametri…</translation>
    </message>
    <message>
        <source>Open r&amp;ecent</source>
        <translation>Apri r&amp;ecente</translation>
    </message>
    <message>
        <source>Save parameters &amp;as…</source>
        <translation>Salva parametri &amp;come…</translation>
    </message>
    <message>
        <source>&amp;Record live data…</source>
        <translation>&amp;Registra dati live…</translation>
    </message>
    <message>
        <source>Recording &amp;keeps</source>
        <translation>La registrazione &amp;tiene</translation>
    </message>
    <message>
        <source>Co&amp;mpare…</source>
        <translation>Co&amp;nfronta…</translation>
    </message>
    <message>
        <source>Export graph X–&amp;Y…</source>
        <translation>Esporta grafico X–&amp;Y…</translation>
    </message>
    <message>
        <source>Export graph X–&amp;INT…</source>
        <translation>Esporta grafico X–&amp;INT…</translation>
    </message>
    <message>
        <source>Export graph Y–I&amp;NT…</source>
        <translation>Esporta grafico Y–I&amp;NT…</translation>
    </message>
    <message>
        <source>Export RGB &amp;strip chart…</source>
        <translation>Esporta &amp;traccia RGB…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Esci</translation>
    </message>
    <message>
        <source>&amp;Connection page</source>
        <translation>Pagina &amp;collegamento</translation>
    </message>
    <message>
        <source>&amp;Parameter page</source>
        <translation>Pagina &amp;parametri</translation>
    </message>
    <message>
        <source>Pa&amp;use graphs</source>
        <translation>Pa&amp;usa grafici</translation>
    </message>
    <message>
        <source>&amp;Reset graph views</source>
        <translation>&amp;Ripristina viste</translation>
    </message>
    <message>
        <source>&amp;Edit parameters</source>
        <translation>&amp;Modifica parametri</translation>
    </message>
    <message>
        <source>U&amp;ndo</source>
        <translation>A&amp;nnulla</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>Ri&amp;peti</translation>
    </message>
    <message>
        <source>Re&amp;vert</source>
        <translation>Ri&amp;pristina</translation>
    </message>
    <message>
        <source>&amp;Link monitor</source>
        <translation>Monitor del co&amp;llegamento</translation>
    </message>
    <message>
        <source>Clear c&amp;onnection log</source>
        <translation>Cancella il registro di c&amp;ollegamento</translation>
    </message>
    <message>
        <source>&amp;Standard size</source>
        <translation>Dimensione s&amp;tandard</translation>
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
        <translation>Fre&amp;quenza di scansione (FREQ)</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Collega</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>Scolle&amp;ga</translation>
    </message>
    <message>
        <source>&amp;Reconnect</source>
        <translation>&amp;Ricollega</translation>
    </message>
    <message>
        <source>Reconnect automaticall&amp;y</source>
        <translation>Ricollega &amp;automaticamente</translation>
    </message>
    <message>
        <source>Port &amp;list</source>
        <translation>&amp;Elenco porte</translation>
    </message>
    <message>
        <source>&amp;Accept settings</source>
        <translation>&amp;Accetta impostazioni</translation>
    </message>
    <message>
        <source>Start ass&amp;istant</source>
        <translation>Avvia ass&amp;istente</translation>
    </message>
    <message>
        <source>&amp;About Qelto</source>
        <translation>&amp;Informazioni su Qelto</translation>
    </message>
    <message>
        <source>Right-click a control for its help</source>
        <translation>Clic destro su un comando per la sua guida</translation>
    </message>
    <message>
        <source>Graphs: the wheel zooms, a drag pans, a double-click resets</source>
        <translation>Grafici: la rotella ingrandisce, trascinare sposta, doppio clic ripristina</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Visualizza</translation>
    </message>
    <message>
        <source>&amp;Sensor</source>
        <translation>&amp;Sensore</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aiuto</translation>
    </message>
    <message>
        <source>No parameter file yet</source>
        <translation>Ancora nessun file di parametri</translation>
    </message>
    <message>
        <source>&amp;Every sample</source>
        <translation>&amp;Ogni campione</translation>
    </message>
    <message>
        <source>One sample in &amp;N (now %1)…</source>
        <translation>Un campione ogni &amp;N (ora %1)…</translation>
    </message>
    <message>
        <source>One sample per &amp;interval (now %1 s)…</source>
        <translation>Un campione per &amp;intervallo (ora %1 s)…</translation>
    </message>
    <message>
        <source>Recording keeps</source>
        <translation>La registrazione tiene</translation>
    </message>
    <message>
        <source>Keep one sample in:</source>
        <translation>Tenere un campione ogni:</translation>
    </message>
    <message>
        <source>Keep one sample per interval of (seconds):</source>
        <translation>Tenere un campione per intervallo di (secondi):</translation>
    </message>
    <message>
        <source>Export graph</source>
        <translation>Esporta grafico</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>Immagine PNG (*.png)</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>Disegno SVG (*.svg)</translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>Documento PDF (*.pdf)</translation>
    </message>
    <message>
        <source>The graph was not saved to %1: %2.</source>
        <translation>Il grafico non è stato salvato in %1: %2.</translation>
    </message>
    <message>
        <source>%1
Qelto %2

Configures and watches a KORVANEX colour sensor over RS-232 or TCP/IP; qelto-cli does the same from scripts, qelto-sim simulates a sensor.

Licence: GPL-3.0-or-later
Qt %3 (built with %4), QCustomPlot %5</source>
        <translation>%1
Qelto %2

Configura e osserva un sensore di colore KORVANEX via RS-232 o TCP/IP; qelto-cli fa lo stesso da script, qelto-sim simula un sensore.

Licenza: GPL-3.0-or-later
Qt %3 (compilato con %4), QCustomPlot %5</translation>
    </message>
    <message>
        <source>About Qelto</source>
        <translation>Informazioni su Qelto</translation>
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
