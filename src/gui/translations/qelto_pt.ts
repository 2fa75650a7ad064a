<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_PT" sourcelanguage="en">
<context>
    <name>qelto</name>
    <message>
        <source>Compare</source>
        <translation>Comparar</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Gravar</translation>
    </message>
    <message>
        <source>The assistant</source>
        <translation>O assistente</translation>
    </message>
    <message>
        <source>The memory selection</source>
        <translation>A seleção de memória</translation>
    </message>
    <message>
        <source>data transfer</source>
        <translation>a transferência de dados</translation>
    </message>
    <message>
        <source>%1 cannot run now: %2 is running.</source>
        <translation>%1 não pode ser executado agora: %2 está em curso.</translation>
    </message>
    <message>
        <source>%1 is not available: no sensor is connected.</source>
        <translation>%1 não está disponível: nenhum sensor está ligado.</translation>
    </message>
    <message>
        <source>%1 is not available now.</source>
        <translation>%1 não está disponível agora.</translation>
    </message>
    <message>
        <source>Compare the parameters and teach table shown 
with the sensor or with a parameter file?</source>
        <translation>Comparar os parâmetros e a tabela de aprendizagem mostrados 
com o sensor ou com um ficheiro de parâmetros?</translation>
    </message>
    <message>
        <source>No sensor is connected: 
compare with a parameter file, or connect first.</source>
        <translation>Nenhum sensor está ligado: 
compare com um ficheiro de parâmetros ou ligue primeiro.</translation>
    </message>
    <message>
        <source>No differences: a Send would change nothing.</source>
        <translation>Sem diferenças: um Send não mudaria nada.</translation>
    </message>
    <message>
        <source>A Send would change in the sensor (sensor -&gt; shown):

</source>
        <translation>Um Send mudaria no sensor (sensor -&gt; mostrado):

</translation>
    </message>
    <message>
        <source>Differences between the file and what is shown (file -&gt; shown):

</source>
        <translation>Diferenças entre o ficheiro e o que é mostrado (ficheiro -&gt; mostrado):

</translation>
    </message>
    <message>
        <source>Connecting: %1</source>
        <translation>A ligar: %1</translation>
    </message>
    <message>
        <source>Connected: %1 — %2, serial %3</source>
        <translation>Ligado: %1 — %2, série %3</translation>
    </message>
    <message>
        <source>%1; %2 at %3</source>
        <translation>%1; %2 às %3</translation>
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
        <translation>Perdido %1 — %2</translation>
    </message>
    <message>
        <source>Link lost at %1%2: %3</source>
        <translation>Ligação perdida às %1%2: %3</translation>
    </message>
    <message>
        <source>; reconnecting, first attempt in 2 s</source>
        <translation>; a religar, primeira tentativa em 2 s</translation>
    </message>
    <message>
        <source>; reconnecting, attempt %1</source>
        <translation>; a religar, tentativa %1</translation>
    </message>
    <message>
        <source>Send and Get pressed during data transfer were not carried out.</source>
        <translation>Send e Get premidos durante a transferência de dados não foram executados.</translation>
    </message>
    <message>
        <source>could not connect</source>
        <translation>não foi possível ligar</translation>
    </message>
    <message>
        <source>connection closed</source>
        <translation>ligação fechada</translation>
    </message>
    <message>
        <source>no reply in time</source>
        <translation>sem resposta a tempo</translation>
    </message>
    <message>
        <source>corrupted reply</source>
        <translation>resposta corrompida</translation>
    </message>
    <message>
        <source>refused by the sensor</source>
        <translation>recusado pelo sensor</translation>
    </message>
    <message>
        <source>
Send these values to the sensor?</source>
        <translation>
Enviar estes valores para o sensor?</translation>
    </message>
    <message>
        <source>No differences: the sensor holds every value shown.</source>
        <translation>Sem diferenças: o sensor contém todos os valores mostrados.</translation>
    </message>
    <message>
        <source>What the sensor holds has not been read since connecting.

Send every value shown to the sensor?</source>
        <translation>O que o sensor contém não foi lido desde a ligação.

Enviar todos os valores mostrados para o sensor?</translation>
    </message>
    <message>
        <source>%1: %2 is outside 0..65535; the value stays %3.</source>
        <translation>%1: %2 está fora de 0..65535; o valor continua %3.</translation>
    </message>
    <message>
        <source>that</source>
        <translation>isso</translation>
    </message>
    <message>
        <source>Sent: %1
The sensor holds: %2</source>
        <translation>Enviado: %1
O sensor contém: %2</translation>
    </message>
    <message>
        <source>The sensor holds other values than when the link was lost: it was reset, or changed by someone else.
Nothing was written to it. The values shown stay; those the sensor holds otherwise are marked.

Before the loss -&gt; now:
</source>
        <translation>O sensor contém outros valores do que quando a ligação se perdeu: foi reiniciado ou alterado por outra pessoa.
Nada lhe foi escrito. Os valores mostrados ficam; os que diferem no sensor estão marcados.

Antes da perda -&gt; agora:
</translation>
    </message>
    <message>
        <source>Another sensor answers (%1), not the one that was connected (%2).
Automatic reconnection has stopped; nothing was written to it. Connect to work with it.</source>
        <translation>Responde outro sensor (%1), não o que estava ligado (%2).
A religação automática parou; nada lhe foi escrito. Ligue para trabalhar com ele.</translation>
    </message>
    <message>
        <source>Reconnected after %1</source>
        <translation>Religado após %1</translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n value other than before (marked)</source>
        <translation>
            <numerusform>; o sensor contém %n valor diferente do de antes (marcado)</numerusform>
            <numerusform>; o sensor contém %n valor diferente do de antes (marcado)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n values other than before (marked)</source>
        <translation>
            <numerusform>; o sensor contém %n valor diferente do de antes (marcado)</numerusform>
            <numerusform>; o sensor contém %n valores diferentes dos de antes (marcados)</numerusform>
        </translation>
    </message>
    <message>
        <source>; GO and the recording go on (a gap of %1 in the file)</source>
        <translation>; GO e a gravação continuam (uma falha de %1 no ficheiro)</translation>
    </message>
    <message>
        <source>; GO goes on</source>
        <translation>; GO continua</translation>
    </message>
    <message>
        <source>Send: the parameters go to the sensor between two samples.</source>
        <translation>Send: os parâmetros vão para o sensor entre duas amostras.</translation>
    </message>
    <message>
        <source>Now at their defaults, unlike what was shown (shown -&gt; sensor):
</source>
        <translation>Agora nos seus valores predefinidos, ao contrário do mostrado (mostrado -&gt; sensor):
</translation>
    </message>
    <message>
        <source>Get: the parameters are read from the sensor between two samples.</source>
        <translation>Get: os parâmetros são lidos do sensor entre duas amostras.</translation>
    </message>
    <message>
        <source>Send: to a parameter file; choose it.</source>
        <translation>Send: para um ficheiro de parâmetros; escolha-o.</translation>
    </message>
    <message>
        <source>Get: from a parameter file; choose it.</source>
        <translation>Get: de um ficheiro de parâmetros; escolha-o.</translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent change?</source>
        <translation>
            <numerusform>Descartar %n alteração não enviada?</numerusform>
            <numerusform>Descartar %n alteração não enviada?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent changes?</source>
        <translation>
            <numerusform>Descartar %n alteração não enviada?</numerusform>
            <numerusform>Descartar %n alterações não enviadas?</numerusform>
        </translation>
    </message>
    <message>
        <source>Not connected yet</source>
        <translation>Ainda não ligado</translation>
    </message>
    <message>
        <source>Not sent yet: the sensor holds %1</source>
        <translation>Ainda não enviado: o sensor contém %1</translation>
    </message>
    <message>
        <source>The sensor holds %1</source>
        <translation>O sensor contém %1</translation>
    </message>
    <message>
        <source>The sensor refused these values at the last Send (sent -&gt; holds):

</source>
        <translation>O sensor recusou estes valores no último Send (enviado -&gt; contém):

</translation>
    </message>
    <message>
        <source>
Send them again?</source>
        <translation>
Enviá-los de novo?</translation>
    </message>
    <message>
        <source>The answer to the last Send was lost: the sensor may hold what was sent, or what it held before. It may hold: </source>
        <translation>A resposta ao último Send perdeu-se: o sensor pode conter o que foi enviado ou o que continha antes. Pode conter: </translation>
    </message>
    <message>
        <source>Read back what its RAM holds now? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>Reler o que a sua RAM contém agora? Nada é escrito; os valores mostrados ficam e os que diferem são marcados.</translation>
    </message>
    <message>
        <source>Read back what its EEPROM holds (loaded into RAM, as Get does)? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>Reler o que a sua EEPROM contém (carregada na RAM, como faz o Get)? Nada é escrito; os valores mostrados ficam e os que diferem são marcados.</translation>
    </message>
    <message>
        <source>Not taken by the sensor (sent -&gt; holds):
</source>
        <translation>Não aceites pelo sensor (enviado -&gt; contém):
</translation>
    </message>
    <message>
        <source>RAM only: lost at power-off</source>
        <translation>Só na RAM: perde-se ao desligar</translation>
    </message>
    <message>
        <source>Values were sent to the sensor&apos;s RAM alone. It works with them now, but at the next power-on it starts with what its EEPROM holds. Store in EEPROM keeps them.</source>
        <translation>Foram enviados valores apenas para a RAM do sensor. Trabalha agora com eles, mas no próximo arranque começa com o que a sua EEPROM contém. Store in EEPROM guarda-os.</translation>
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
        <translation>Gráfico do espaço de cor, %1 na horizontal, %2 na vertical</translation>
    </message>
    <message>
        <source>colour %1</source>
        <translation>cor %1</translation>
    </message>
    <message>
        <source>colours %1</source>
        <translation>cores %1</translation>
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
        <translation>Desfazer</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Refazer</translation>
    </message>
    <message>
        <source>Revert</source>
        <translation>Reverter</translation>
    </message>
    <message>
        <source>Pa&amp;rameters</source>
        <translation>Pa&amp;râmetros</translation>
    </message>
    <message>
        <source>&amp;Teach rows</source>
        <translation>Linhas de aprendizagem (&amp;T)</translation>
    </message>
</context>
<context>
    <name>qelto::gui::EvidenceBar</name>
    <message>
        <source>Teach from sensor</source>
        <translation>Ensinar a partir do sensor</translation>
    </message>
    <message>
        <source> samples</source>
        <translation> amostras</translation>
    </message>
    <message>
        <source>Chec&amp;k tolerances…</source>
        <translation>&amp;Verificar tolerâncias…</translation>
    </message>
    <message>
        <source>Cloud</source>
        <translation>Nuvem</translation>
    </message>
</context>
<context>
    <name>qelto::gui::ExplorablePlot</name>
    <message>
        <source>paused</source>
        <translation>em pausa</translation>
    </message>
    <message>
        <source>the name must end in .png, .svg or .pdf</source>
        <translation>o nome tem de terminar em .png, .svg ou .pdf</translation>
    </message>
    <message>
        <source>it could not be written</source>
        <translation>não foi possível escrevê-lo</translation>
    </message>
</context>
<context>
    <name>qelto::gui::GenericPopup</name>
    <message>
        <source>Answer</source>
        <translation>Resposta</translation>
    </message>
</context>
<context>
    <name>qelto::gui::LinkMonitorPanel</name>
    <message>
        <source>Link monitor</source>
        <translation>Monitor da ligação</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pausa</translation>
    </message>
    <message>
        <source>Cl&amp;ear</source>
        <translation>&amp;Limpar</translation>
    </message>
    <message>
        <source>All commands</source>
        <translation>Todos os comandos</translation>
    </message>
    <message>
        <source>&amp;Command</source>
        <translation>&amp;Comando</translation>
    </message>
    <message>
        <source>Every &amp;live-data exchange</source>
        <translation>Cada troca de dados em &amp;direto</translation>
    </message>
    <message>
        <source>Otherwise the live-data exchanges that went well are folded into one counting line</source>
        <translation>Caso contrário, as trocas de dados em direto bem-sucedidas são agrupadas numa linha de contagem</translation>
    </message>
    <message>
        <source>&amp;Failures only</source>
        <translation>Só &amp;falhas</translation>
    </message>
    <message>
        <source>Only the replies that were rejected or did not come</source>
        <translation>Só as respostas rejeitadas ou que não chegaram</translation>
    </message>
    <message>
        <source>&amp;Bytes</source>
        <translation>&amp;Bytes</translation>
    </message>
    <message>
        <source>The bytes in hex, and below the list the selected line&apos;s frames with their offsets and ASCII</source>
        <translation>Os bytes em hexadecimal e, abaixo da lista, as tramas da linha escolhida com os seus deslocamentos e ASCII</translation>
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
        <translation>Comprimento</translation>
    </message>
    <message>
        <source>Requests and replies</source>
        <translation>Pedidos e respostas</translation>
    </message>
    <message>
        <source>Bytes of the selected line</source>
        <translation>Bytes da linha escolhida</translation>
    </message>
    <message>
        <source>No line.</source>
        <translation>Nenhuma linha.</translation>
    </message>
    <message>
        <source>&lt; reply: nothing came</source>
        <translation>&lt; resposta: nada chegou</translation>
    </message>
    <message>
        <source>1 line</source>
        <translation>1 linha</translation>
    </message>
    <message>
        <source>%1 lines</source>
        <translation>%1 linhas</translation>
    </message>
    <message>
        <source>, the oldest %1 no longer kept (the monitor keeps the last %2)</source>
        <translation>, as %1 mais antigas já não são guardadas (o monitor guarda as últimas %2)</translation>
    </message>
    <message>
        <source>; paused, the record goes on</source>
        <translation>; em pausa, o registo continua</translation>
    </message>
    <message>
        <source>Save the link monitor as text</source>
        <translation>Guardar o monitor da ligação como texto</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Ficheiros de texto (*.txt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Todos os ficheiros (*)</translation>
    </message>
    <message>
        <source>The link monitor was not saved to %1: %2.</source>
        <translation>O monitor da ligação não foi guardado em %1: %2.</translation>
    </message>
</context>
<context>
    <name>qelto::gui::MonitorTableModel</name>
    <message>
        <source>request</source>
        <translation>pedido</translation>
    </message>
    <message>
        <source>reply</source>
        <translation>resposta</translation>
    </message>
    <message>
        <source>requests and replies, folded</source>
        <translation>pedidos e respostas, agrupados</translation>
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
        <translation>Comprimento</translation>
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
        <translation>Religar</translation>
    </message>
    <message>
        <source>Auto-reconnect</source>
        <translation>Religação auto</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Abrir pasta</translation>
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
        <translation>Todos os ficheiros (*)</translation>
    </message>
</context>
<context>
    <name>qelto::gui::StripChart</name>
    <message>
        <source>Red</source>
        <translation>Vermelho</translation>
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
        <translation>amostras (0: a mais recente)</translation>
    </message>
    <message>
        <source>R G B</source>
        <translation>R G B</translation>
    </message>
    <message>
        <source>sample %1
R %2   G %3   B %4</source>
        <translation>amostra %1
R %2   G %3   B %4</translation>
    </message>
</context>
<context>
    <name>qelto::gui::TablePopup</name>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
</context>
<context>
    <name>qelto::gui::WindowMenu</name>
    <message>
        <source>&amp;Open parameters…</source>
        <translation>&amp;Abrir parâmetros…</translation>
    </message>
    <message>
        <source>Open r&amp;ecent</source>
        <translation>Abrir r&amp;ecente</translation>
    </message>
    <message>
        <source>Save parameters &amp;as…</source>
        <translation>Guardar parâmetros &amp;como…</translation>
    </message>
    <message>
        <source>&amp;Record live data…</source>
        <translation>&amp;Gravar dados em direto…</translation>
    </message>
    <message>
        <source>Recording &amp;keeps</source>
        <translation>A gravação &amp;guarda</translation>
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
        <translation>Exportar &amp;registo RGB…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Sair</translation>
    </message>
    <message>
        <source>&amp;Connection page</source>
        <translation>Página de &amp;ligação</translation>
    </message>
    <message>
        <source>&amp;Parameter page</source>
        <translation>Página de pa&amp;râmetros</translation>
    </message>
    <message>
        <source>Pa&amp;use graphs</source>
        <translation>Pa&amp;usar gráficos</translation>
    </message>
    <message>
        <source>&amp;Reset graph views</source>
        <translation>&amp;Repor vistas</translation>
    </message>
    <message>
        <source>&amp;Edit parameters</source>
        <translation>&amp;Editar parâmetros</translation>
    </message>
    <message>
        <source>U&amp;ndo</source>
        <translation>Des&amp;fazer</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>Re&amp;fazer</translation>
    </message>
    <message>
        <source>Re&amp;vert</source>
        <translation>Re&amp;verter</translation>
    </message>
    <message>
        <source>&amp;Link monitor</source>
        <translation>Monitor da &amp;ligação</translation>
    </message>
    <message>
        <source>Clear c&amp;onnection log</source>
        <translation>Limpar o registo de l&amp;igação</translation>
    </message>
    <message>
        <source>&amp;Standard size</source>
        <translation>&amp;Tamanho padrão</translation>
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
        <translation>Fre&amp;quência de varrimento (FREQ)</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Ligar</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Desligar</translation>
    </message>
    <message>
        <source>&amp;Reconnect</source>
        <translation>&amp;Religar</translation>
    </message>
    <message>
        <source>Reconnect automaticall&amp;y</source>
        <translation>Religar &amp;automaticamente</translation>
    </message>
    <message>
        <source>Port &amp;list</source>
        <translation>&amp;Lista de portas</translation>
    </message>
    <message>
        <source>&amp;Accept settings</source>
        <translation>&amp;Aceitar definições</translation>
    </message>
    <message>
        <source>Start ass&amp;istant</source>
        <translation>Iniciar o ass&amp;istente</translation>
    </message>
    <message>
        <source>&amp;About Qelto</source>
        <translation>&amp;Sobre o Qelto</translation>
    </message>
    <message>
        <source>Right-click a control for its help</source>
        <translation>Clique direito num controlo para a sua ajuda</translation>
    </message>
    <message>
        <source>Graphs: the wheel zooms, a drag pans, a double-click resets</source>
        <translation>Gráficos: a roda amplia, arrastar desloca, duplo clique repõe</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Ficheiro</translation>
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
        <translation>A&amp;juda</translation>
    </message>
    <message>
        <source>No parameter file yet</source>
        <translation>Ainda não há ficheiro de parâmetros</translation>
    </message>
    <message>
        <source>&amp;Every sample</source>
        <translation>&amp;Cada amostra</translation>
    </message>
    <message>
        <source>One sample in &amp;N (now %1)…</source>
        <translation>Uma amostra em cada &amp;N (agora %1)…</translation>
    </message>
    <message>
        <source>One sample per &amp;interval (now %1 s)…</source>
        <translation>Uma amostra por &amp;intervalo (agora %1 s)…</translation>
    </message>
    <message>
        <source>Recording keeps</source>
        <translation>A gravação guarda</translation>
    </message>
    <message>
        <source>Keep one sample in:</source>
        <translation>Guardar uma amostra em cada:</translation>
    </message>
    <message>
        <source>Keep one sample per interval of (seconds):</source>
        <translation>Guardar uma amostra por intervalo de (segundos):</translation>
    </message>
    <message>
        <source>Export graph</source>
        <translation>Exportar gráfico</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>Imagem PNG (*.png)</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>Desenho SVG (*.svg)</translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>Documento PDF (*.pdf)</translation>
    </message>
    <message>
        <source>The graph was not saved to %1: %2.</source>
        <translation>O gráfico não foi guardado em %1: %2.</translation>
    </message>
    <message>
        <source>%1
Qelto %2

Configures and watches a KORVANEX colour sensor over RS-232 or TCP/IP; qelto-cli does the same from scripts, qelto-sim simulates a sensor.

Licence: GPL-3.0-or-later
Qt %3 (built with %4), QCustomPlot %5</source>
        <translation>%1
Qelto %2

Configura e observa um sensor de cor KORVANEX por RS-232 ou TCP/IP; qelto-cli faz o mesmo a partir de scripts, qelto-sim simula um sensor.

Licença: GPL-3.0-or-later
Qt %3 (compilado com %4), QCustomPlot %5</translation>
    </message>
    <message>
        <source>About Qelto</source>
        <translation>Sobre o Qelto</translation>
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
