<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL" sourcelanguage="en">
<context>
    <name>qelto</name>
    <message>
        <source>Compare</source>
        <translation>Porównanie</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Nagrywanie</translation>
    </message>
    <message>
        <source>The assistant</source>
        <translation>Asystent</translation>
    </message>
    <message>
        <source>The memory selection</source>
        <translation>Wybór pamięci</translation>
    </message>
    <message>
        <source>data transfer</source>
        <translation>transmisja danych</translation>
    </message>
    <message>
        <source>%1 cannot run now: %2 is running.</source>
        <translation>%1 nie może teraz działać: trwa %2.</translation>
    </message>
    <message>
        <source>%1 is not available: no sensor is connected.</source>
        <translation>%1 jest niedostępne: żaden czujnik nie jest podłączony.</translation>
    </message>
    <message>
        <source>%1 is not available now.</source>
        <translation>%1 jest teraz niedostępne.</translation>
    </message>
    <message>
        <source>Compare the parameters and teach table shown 
with the sensor or with a parameter file?</source>
        <translation>Porównać wyświetlane parametry i tabelę uczenia 
z czujnikiem czy z plikiem parametrów?</translation>
    </message>
    <message>
        <source>No sensor is connected: 
compare with a parameter file, or connect first.</source>
        <translation>Żaden czujnik nie jest podłączony: 
porównaj z plikiem parametrów albo najpierw się połącz.</translation>
    </message>
    <message>
        <source>No differences: a Send would change nothing.</source>
        <translation>Brak różnic: Send niczego by nie zmienił.</translation>
    </message>
    <message>
        <source>A Send would change in the sensor (sensor -&gt; shown):

</source>
        <translation>Send zmieniłby w czujniku (czujnik -&gt; wyświetlane):

</translation>
    </message>
    <message>
        <source>Differences between the file and what is shown (file -&gt; shown):

</source>
        <translation>Różnice między plikiem a wyświetlanymi wartościami (plik -&gt; wyświetlane):

</translation>
    </message>
    <message>
        <source>Connecting: %1</source>
        <translation>Łączenie: %1</translation>
    </message>
    <message>
        <source>Connected: %1 — %2, serial %3</source>
        <translation>Połączono: %1 — %2, nr ser. %3</translation>
    </message>
    <message>
        <source>%1; %2 at %3</source>
        <translation>%1; %2 o %3</translation>
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
        <translation>Utracono %1 — %2</translation>
    </message>
    <message>
        <source>Link lost at %1%2: %3</source>
        <translation>Połączenie utracone o %1%2: %3</translation>
    </message>
    <message>
        <source>; reconnecting, first attempt in 2 s</source>
        <translation>; ponowne łączenie, pierwsza próba za 2 s</translation>
    </message>
    <message>
        <source>; reconnecting, attempt %1</source>
        <translation>; ponowne łączenie, próba %1</translation>
    </message>
    <message>
        <source>Send and Get pressed during data transfer were not carried out.</source>
        <translation>Send i Get naciśnięte podczas transmisji danych nie zostały wykonane.</translation>
    </message>
    <message>
        <source>could not connect</source>
        <translation>nie można połączyć</translation>
    </message>
    <message>
        <source>connection closed</source>
        <translation>połączenie zamknięte</translation>
    </message>
    <message>
        <source>no reply in time</source>
        <translation>brak odpowiedzi na czas</translation>
    </message>
    <message>
        <source>corrupted reply</source>
        <translation>uszkodzona odpowiedź</translation>
    </message>
    <message>
        <source>refused by the sensor</source>
        <translation>odrzucone przez czujnik</translation>
    </message>
    <message>
        <source>
Send these values to the sensor?</source>
        <translation>
Wysłać te wartości do czujnika?</translation>
    </message>
    <message>
        <source>No differences: the sensor holds every value shown.</source>
        <translation>Brak różnic: czujnik zawiera wszystkie wyświetlane wartości.</translation>
    </message>
    <message>
        <source>What the sensor holds has not been read since connecting.

Send every value shown to the sensor?</source>
        <translation>Zawartości czujnika nie odczytano od połączenia.

Wysłać wszystkie wyświetlane wartości do czujnika?</translation>
    </message>
    <message>
        <source>%1: %2 is outside 0..65535; the value stays %3.</source>
        <translation>%1: %2 jest poza 0..65535; wartość pozostaje %3.</translation>
    </message>
    <message>
        <source>that</source>
        <translation>to</translation>
    </message>
    <message>
        <source>Sent: %1
The sensor holds: %2</source>
        <translation>Wysłano: %1
Czujnik zawiera: %2</translation>
    </message>
    <message>
        <source>The sensor holds other values than when the link was lost: it was reset, or changed by someone else.
Nothing was written to it. The values shown stay; those the sensor holds otherwise are marked.

Before the loss -&gt; now:
</source>
        <translation>Czujnik zawiera inne wartości niż w chwili utraty połączenia: został zresetowany albo zmieniony przez kogoś innego.
Nic do niego nie zapisano. Wyświetlane wartości pozostają; te, które czujnik ma inne, są oznaczone.

Przed utratą -&gt; teraz:
</translation>
    </message>
    <message>
        <source>Another sensor answers (%1), not the one that was connected (%2).
Automatic reconnection has stopped; nothing was written to it. Connect to work with it.</source>
        <translation>Odpowiada inny czujnik (%1), nie ten, który był połączony (%2).
Automatyczne ponowne łączenie zatrzymano; nic do niego nie zapisano. Połącz się, aby z nim pracować.</translation>
    </message>
    <message>
        <source>Reconnected after %1</source>
        <translation>Połączono ponownie po %1</translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n value other than before (marked)</source>
        <translation>
            <numerusform>; czujnik ma %n wartość inną niż wcześniej (oznaczona)</numerusform>
            <numerusform>; czujnik ma %n wartość inną niż wcześniej (oznaczona)</numerusform>
            <numerusform>; czujnik ma %n wartość inną niż wcześniej (oznaczona)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n values other than before (marked)</source>
        <translation>
            <numerusform>; czujnik ma %n wartość inną niż wcześniej (oznaczona)</numerusform>
            <numerusform>; czujnik ma %n wartości inne niż wcześniej (oznaczone)</numerusform>
            <numerusform>; czujnik ma %n wartości innych niż wcześniej (oznaczonych)</numerusform>
        </translation>
    </message>
    <message>
        <source>; GO and the recording go on (a gap of %1 in the file)</source>
        <translation>; GO i nagrywanie trwają dalej (przerwa %1 w pliku)</translation>
    </message>
    <message>
        <source>; GO goes on</source>
        <translation>; GO trwa dalej</translation>
    </message>
    <message>
        <source>Send: the parameters go to the sensor between two samples.</source>
        <translation>Send: parametry trafią do czujnika między dwiema próbkami.</translation>
    </message>
    <message>
        <source>Now at their defaults, unlike what was shown (shown -&gt; sensor):
</source>
        <translation>Teraz mają wartości domyślne, inaczej niż wyświetlano (wyświetlane -&gt; czujnik):
</translation>
    </message>
    <message>
        <source>Get: the parameters are read from the sensor between two samples.</source>
        <translation>Get: parametry zostaną odczytane z czujnika między dwiema próbkami.</translation>
    </message>
    <message>
        <source>Send: to a parameter file; choose it.</source>
        <translation>Send: do pliku parametrów; wybierz go.</translation>
    </message>
    <message>
        <source>Get: from a parameter file; choose it.</source>
        <translation>Get: z pliku parametrów; wybierz go.</translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent change?</source>
        <translation>
            <numerusform>Odrzucić %n niewysłaną zmianę?</numerusform>
            <numerusform>Odrzucić %n niewysłaną zmianę?</numerusform>
            <numerusform>Odrzucić %n niewysłaną zmianę?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent changes?</source>
        <translation>
            <numerusform>Odrzucić %n niewysłaną zmianę?</numerusform>
            <numerusform>Odrzucić %n niewysłane zmiany?</numerusform>
            <numerusform>Odrzucić %n niewysłanych zmian?</numerusform>
        </translation>
    </message>
    <message>
        <source>Not connected yet</source>
        <translation>Jeszcze nie połączono</translation>
    </message>
    <message>
        <source>Not sent yet: the sensor holds %1</source>
        <translation>Jeszcze nie wysłano: czujnik zawiera %1</translation>
    </message>
    <message>
        <source>The sensor holds %1</source>
        <translation>Czujnik zawiera %1</translation>
    </message>
    <message>
        <source>The sensor refused these values at the last Send (sent -&gt; holds):

</source>
        <translation>Czujnik odrzucił te wartości przy ostatnim Send (wysłano -&gt; zawiera):

</translation>
    </message>
    <message>
        <source>
Send them again?</source>
        <translation>
Wysłać je ponownie?</translation>
    </message>
    <message>
        <source>The answer to the last Send was lost: the sensor may hold what was sent, or what it held before. It may hold: </source>
        <translation>Odpowiedź na ostatni Send zaginęła: czujnik może zawierać to, co wysłano, albo to, co miał wcześniej. Może zawierać: </translation>
    </message>
    <message>
        <source>Read back what its RAM holds now? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>Odczytać ponownie, co zawiera teraz jego RAM? Nic nie jest zapisywane; wyświetlane wartości pozostają, a inne są oznaczane.</translation>
    </message>
    <message>
        <source>Read back what its EEPROM holds (loaded into RAM, as Get does)? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>Odczytać ponownie, co zawiera jego EEPROM (wczytany do RAM, jak robi Get)? Nic nie jest zapisywane; wyświetlane wartości pozostają, a inne są oznaczane.</translation>
    </message>
    <message>
        <source>Not taken by the sensor (sent -&gt; holds):
</source>
        <translation>Nieprzyjęte przez czujnik (wysłano -&gt; zawiera):
</translation>
    </message>
    <message>
        <source>RAM only: lost at power-off</source>
        <translation>Tylko RAM: utracone po wyłączeniu</translation>
    </message>
    <message>
        <source>Values were sent to the sensor&apos;s RAM alone. It works with them now, but at the next power-on it starts with what its EEPROM holds. Store in EEPROM keeps them.</source>
        <translation>Wartości wysłano tylko do RAM czujnika. Pracuje teraz z nimi, ale po następnym włączeniu startuje z tym, co zawiera jego EEPROM. Store in EEPROM je zachowuje.</translation>
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
        <translation>Wykres przestrzeni barw, %1 w poziomie, %2 w pionie</translation>
    </message>
    <message>
        <source>colour %1</source>
        <translation>kolor %1</translation>
    </message>
    <message>
        <source>colours %1</source>
        <translation>kolory %1</translation>
    </message>
</context>
<context>
    <name>qelto::gui::EditorView</name>
    <message>
        <source>Value</source>
        <translation>Wartość</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Grupa</translation>
    </message>
    <message>
        <source>Meaning</source>
        <translation>Znaczenie</translation>
    </message>
    <message>
        <source>E&amp;dit</source>
        <translation>E&amp;dytuj</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Cofnij</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Ponów</translation>
    </message>
    <message>
        <source>Revert</source>
        <translation>Przywróć</translation>
    </message>
    <message>
        <source>Pa&amp;rameters</source>
        <translation>Pa&amp;rametry</translation>
    </message>
    <message>
        <source>&amp;Teach rows</source>
        <translation>Wiersze uczenia (&amp;T)</translation>
    </message>
</context>
<context>
    <name>qelto::gui::EvidenceBar</name>
    <message>
        <source>Teach from sensor</source>
        <translation>Ucz z czujnika</translation>
    </message>
    <message>
        <source> samples</source>
        <translation> próbek</translation>
    </message>
    <message>
        <source>Chec&amp;k tolerances…</source>
        <translation>Sprawdź &amp;tolerancje…</translation>
    </message>
    <message>
        <source>Cloud</source>
        <translation>Chmura</translation>
    </message>
</context>
<context>
    <name>qelto::gui::ExplorablePlot</name>
    <message>
        <source>paused</source>
        <translation>wstrzymano</translation>
    </message>
    <message>
        <source>the name must end in .png, .svg or .pdf</source>
        <translation>nazwa musi kończyć się na .png, .svg lub .pdf</translation>
    </message>
    <message>
        <source>it could not be written</source>
        <translation>nie udało się go zapisać</translation>
    </message>
</context>
<context>
    <name>qelto::gui::GenericPopup</name>
    <message>
        <source>Answer</source>
        <translation>Odpowiedź</translation>
    </message>
</context>
<context>
    <name>qelto::gui::LinkMonitorPanel</name>
    <message>
        <source>Link monitor</source>
        <translation>Monitor połączenia</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pauza</translation>
    </message>
    <message>
        <source>Cl&amp;ear</source>
        <translation>&amp;Wyczyść</translation>
    </message>
    <message>
        <source>All commands</source>
        <translation>Wszystkie polecenia</translation>
    </message>
    <message>
        <source>&amp;Command</source>
        <translation>P&amp;olecenie</translation>
    </message>
    <message>
        <source>Every &amp;live-data exchange</source>
        <translation>Każda wymiana danych na ży&amp;wo</translation>
    </message>
    <message>
        <source>Otherwise the live-data exchanges that went well are folded into one counting line</source>
        <translation>W przeciwnym razie udane wymiany danych na żywo są zwijane w jeden wiersz licznika</translation>
    </message>
    <message>
        <source>&amp;Failures only</source>
        <translation>Tylko &amp;błędy</translation>
    </message>
    <message>
        <source>Only the replies that were rejected or did not come</source>
        <translation>Tylko odpowiedzi odrzucone lub takie, które nie nadeszły</translation>
    </message>
    <message>
        <source>&amp;Bytes</source>
        <translation>&amp;Bajty</translation>
    </message>
    <message>
        <source>The bytes in hex, and below the list the selected line&apos;s frames with their offsets and ASCII</source>
        <translation>Bajty szesnastkowo, a pod listą ramki wybranego wiersza z przesunięciami i ASCII</translation>
    </message>
    <message>
        <source>&amp;Save as text…</source>
        <translation>&amp;Zapisz jako tekst…</translation>
    </message>
    <message>
        <source>Argument</source>
        <translation>Argument</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Długość</translation>
    </message>
    <message>
        <source>Requests and replies</source>
        <translation>Żądania i odpowiedzi</translation>
    </message>
    <message>
        <source>Bytes of the selected line</source>
        <translation>Bajty wybranego wiersza</translation>
    </message>
    <message>
        <source>No line.</source>
        <translation>Brak wiersza.</translation>
    </message>
    <message>
        <source>&lt; reply: nothing came</source>
        <translation>&lt; odpowiedź: nic nie nadeszło</translation>
    </message>
    <message>
        <source>1 line</source>
        <translation>1 wiersz</translation>
    </message>
    <message>
        <source>%1 lines</source>
        <translation>wierszy: %1</translation>
    </message>
    <message>
        <source>, the oldest %1 no longer kept (the monitor keeps the last %2)</source>
        <translation>, najstarszych %1 już nie przechowano (monitor przechowuje ostatnie %2)</translation>
    </message>
    <message>
        <source>; paused, the record goes on</source>
        <translation>; wstrzymano, zapis trwa dalej</translation>
    </message>
    <message>
        <source>Save the link monitor as text</source>
        <translation>Zapisz monitor połączenia jako tekst</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Pliki tekstowe (*.txt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Wszystkie pliki (*)</translation>
    </message>
    <message>
        <source>The link monitor was not saved to %1: %2.</source>
        <translation>Monitora połączenia nie zapisano w %1: %2.</translation>
    </message>
</context>
<context>
    <name>qelto::gui::MonitorTableModel</name>
    <message>
        <source>request</source>
        <translation>żądanie</translation>
    </message>
    <message>
        <source>reply</source>
        <translation>odpowiedź</translation>
    </message>
    <message>
        <source>requests and replies, folded</source>
        <translation>żądania i odpowiedzi, zwinięte</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Czas</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Polecenie</translation>
    </message>
    <message>
        <source>Argument</source>
        <translation>Argument</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Długość</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Wynik</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>Bajty</translation>
    </message>
</context>
<context>
    <name>qelto::gui::QtUi</name>
    <message>
        <source>Reconnect</source>
        <translation>Połącz ponownie</translation>
    </message>
    <message>
        <source>Auto-reconnect</source>
        <translation>Autołączenie</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Otwórz folder</translation>
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
        <translation>Wszystkie pliki (*)</translation>
    </message>
</context>
<context>
    <name>qelto::gui::StripChart</name>
    <message>
        <source>Red</source>
        <translation>Czerwony</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Zielony</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Niebieski</translation>
    </message>
    <message>
        <source>samples (0: newest)</source>
        <translation>próbki (0: najnowsza)</translation>
    </message>
    <message>
        <source>R G B</source>
        <translation>R G B</translation>
    </message>
    <message>
        <source>sample %1
R %2   G %3   B %4</source>
        <translation>próbka %1
R %2   G %3   B %4</translation>
    </message>
</context>
<context>
    <name>qelto::gui::TablePopup</name>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
</context>
<context>
    <name>qelto::gui::WindowMenu</name>
    <message>
        <source>&amp;Open parameters…</source>
        <translation>&amp;Otwórz parametry…</translation>
    </message>
    <message>
        <source>Open r&amp;ecent</source>
        <translation>Otwórz &amp;ostatnie</translation>
    </message>
    <message>
        <source>Save parameters &amp;as…</source>
        <translation>Zapisz parametry &amp;jako…</translation>
    </message>
    <message>
        <source>&amp;Record live data…</source>
        <translation>&amp;Nagrywaj dane na żywo…</translation>
    </message>
    <message>
        <source>Recording &amp;keeps</source>
        <translation>Nagrywanie &amp;zachowuje</translation>
    </message>
    <message>
        <source>Co&amp;mpare…</source>
        <translation>Po&amp;równaj…</translation>
    </message>
    <message>
        <source>Export graph X–&amp;Y…</source>
        <translation>Eksportuj wykres X–&amp;Y…</translation>
    </message>
    <message>
        <source>Export graph X–&amp;INT…</source>
        <translation>Eksportuj wykres X–&amp;INT…</translation>
    </message>
    <message>
        <source>Export graph Y–I&amp;NT…</source>
        <translation>Eksportuj wykres Y–I&amp;NT…</translation>
    </message>
    <message>
        <source>Export RGB &amp;strip chart…</source>
        <translation>Eksportuj &amp;przebieg RGB…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>Za&amp;kończ</translation>
    </message>
    <message>
        <source>&amp;Connection page</source>
        <translation>Strona &amp;połączenia</translation>
    </message>
    <message>
        <source>&amp;Parameter page</source>
        <translation>Strona pa&amp;rametrów</translation>
    </message>
    <message>
        <source>Pa&amp;use graphs</source>
        <translation>&amp;Wstrzymaj wykresy</translation>
    </message>
    <message>
        <source>&amp;Reset graph views</source>
        <translation>Przywróć &amp;widoki wykresów</translation>
    </message>
    <message>
        <source>&amp;Edit parameters</source>
        <translation>&amp;Edytuj parametry</translation>
    </message>
    <message>
        <source>U&amp;ndo</source>
        <translation>C&amp;ofnij</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>Po&amp;nów</translation>
    </message>
    <message>
        <source>Re&amp;vert</source>
        <translation>Przy&amp;wróć</translation>
    </message>
    <message>
        <source>&amp;Link monitor</source>
        <translation>Monitor po&amp;łączenia</translation>
    </message>
    <message>
        <source>Clear c&amp;onnection log</source>
        <translation>Wyczyść &amp;dziennik połączenia</translation>
    </message>
    <message>
        <source>&amp;Standard size</source>
        <translation>Rozmiar &amp;standardowy</translation>
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
        <translation>Częstotliwość &amp;skanowania (FREQ)</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Połącz</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Rozłącz</translation>
    </message>
    <message>
        <source>&amp;Reconnect</source>
        <translation>Połącz p&amp;onownie</translation>
    </message>
    <message>
        <source>Reconnect automaticall&amp;y</source>
        <translation>Łącz ponownie &amp;automatycznie</translation>
    </message>
    <message>
        <source>Port &amp;list</source>
        <translation>&amp;Lista portów</translation>
    </message>
    <message>
        <source>&amp;Accept settings</source>
        <translation>&amp;Zatwierdź ustawienia</translation>
    </message>
    <message>
        <source>Start ass&amp;istant</source>
        <translation>Uruchom asy&amp;stenta</translation>
    </message>
    <message>
        <source>&amp;About Qelto</source>
        <translation>&amp;O programie Qelto</translation>
    </message>
    <message>
        <source>Right-click a control for its help</source>
        <translation>Kliknij prawym przyciskiem element, aby zobaczyć pomoc</translation>
    </message>
    <message>
        <source>Graphs: the wheel zooms, a drag pans, a double-click resets</source>
        <translation>Wykresy: kółko powiększa, przeciąganie przesuwa, dwuklik przywraca</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Plik</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Widok</translation>
    </message>
    <message>
        <source>&amp;Sensor</source>
        <translation>&amp;Czujnik</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Pomo&amp;c</translation>
    </message>
    <message>
        <source>No parameter file yet</source>
        <translation>Jeszcze brak pliku parametrów</translation>
    </message>
    <message>
        <source>&amp;Every sample</source>
        <translation>&amp;Każdą próbkę</translation>
    </message>
    <message>
        <source>One sample in &amp;N (now %1)…</source>
        <translation>Jedną próbkę na &amp;N (teraz %1)…</translation>
    </message>
    <message>
        <source>One sample per &amp;interval (now %1 s)…</source>
        <translation>Jedną próbkę na &amp;interwał (teraz %1 s)…</translation>
    </message>
    <message>
        <source>Recording keeps</source>
        <translation>Nagrywanie zachowuje</translation>
    </message>
    <message>
        <source>Keep one sample in:</source>
        <translation>Zachowaj jedną próbkę na:</translation>
    </message>
    <message>
        <source>Keep one sample per interval of (seconds):</source>
        <translation>Zachowaj jedną próbkę na interwał (sekundy):</translation>
    </message>
    <message>
        <source>Export graph</source>
        <translation>Eksportuj wykres</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>Obraz PNG (*.png)</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>Rysunek SVG (*.svg)</translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>Dokument PDF (*.pdf)</translation>
    </message>
    <message>
        <source>The graph was not saved to %1: %2.</source>
        <translation>Wykresu nie zapisano w %1: %2.</translation>
    </message>
    <message>
        <source>%1
Qelto %2

Configures and watches a KORVANEX colour sensor over RS-232 or TCP/IP; qelto-cli does the same from scripts, qelto-sim simulates a sensor.

Licence: GPL-3.0-or-later
Qt %3 (built with %4), QCustomPlot %5</source>
        <translation>%1
Qelto %2

Konfiguruje i obserwuje czujnik koloru KORVANEX przez RS-232 lub TCP/IP; qelto-cli robi to samo ze skryptów, qelto-sim symuluje czujnik.

Licencja: GPL-3.0-or-later
Qt %3 (zbudowano z %4), QCustomPlot %5</translation>
    </message>
    <message>
        <source>About Qelto</source>
        <translation>O programie Qelto</translation>
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
