<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en">
<context>
    <name>qelto</name>
    <message>
        <source>Compare</source>
        <translation>Comparer</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>The assistant</source>
        <translation>L&apos;assistant</translation>
    </message>
    <message>
        <source>The memory selection</source>
        <translation>Le choix de la mémoire</translation>
    </message>
    <message>
        <source>data transfer</source>
        <translation>le transfert de données</translation>
    </message>
    <message>
        <source>%1 cannot run now: %2 is running.</source>
        <translation>%1 impossible pour l&apos;instant : %2 est en cours.</translation>
    </message>
    <message>
        <source>%1 is not available: no sensor is connected.</source>
        <translation>%1 n&apos;est pas disponible : aucun capteur n&apos;est connecté.</translation>
    </message>
    <message>
        <source>%1 is not available now.</source>
        <translation>%1 n&apos;est pas disponible pour l&apos;instant.</translation>
    </message>
    <message>
        <source>Compare the parameters and teach table shown 
with the sensor or with a parameter file?</source>
        <translation>Comparer les paramètres et la table d&apos;apprentissage affichés 
avec le capteur ou avec un fichier de paramètres ?</translation>
    </message>
    <message>
        <source>No sensor is connected: 
compare with a parameter file, or connect first.</source>
        <translation>Aucun capteur n&apos;est connecté : 
comparez avec un fichier de paramètres, ou connectez d&apos;abord.</translation>
    </message>
    <message>
        <source>No differences: a Send would change nothing.</source>
        <translation>Aucune différence : un Send ne changerait rien.</translation>
    </message>
    <message>
        <source>A Send would change in the sensor (sensor -&gt; shown):

</source>
        <translation>Un Send changerait dans le capteur (capteur -&gt; affiché) :

</translation>
    </message>
    <message>
        <source>Differences between the file and what is shown (file -&gt; shown):

</source>
        <translation>Différences entre le fichier et l&apos;affichage (fichier -&gt; affiché) :

</translation>
    </message>
    <message>
        <source>Connecting: %1</source>
        <translation>Connexion : %1</translation>
    </message>
    <message>
        <source>Connected: %1 — %2, serial %3</source>
        <translation>Connecté : %1 — %2, série %3</translation>
    </message>
    <message>
        <source>%1; %2 at %3</source>
        <translation>%1 ; %2 à %3</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Hors ligne</translation>
    </message>
    <message>
        <source>Offline — %1</source>
        <translation>Hors ligne — %1</translation>
    </message>
    <message>
        <source>Offline%1: %2</source>
        <translation>Hors ligne%1 : %2</translation>
    </message>
    <message>
        <source>Lost %1 — %2</source>
        <translation>Perdu %1 — %2</translation>
    </message>
    <message>
        <source>Link lost at %1%2: %3</source>
        <translation>Liaison perdue à %1%2 : %3</translation>
    </message>
    <message>
        <source>; reconnecting, first attempt in 2 s</source>
        <translation> ; reconnexion, premier essai dans 2 s</translation>
    </message>
    <message>
        <source>; reconnecting, attempt %1</source>
        <translation> ; reconnexion, essai %1</translation>
    </message>
    <message>
        <source>Send and Get pressed during data transfer were not carried out.</source>
        <translation>Send et Get pressés pendant le transfert de données n&apos;ont pas été exécutés.</translation>
    </message>
    <message>
        <source>could not connect</source>
        <translation>connexion impossible</translation>
    </message>
    <message>
        <source>connection closed</source>
        <translation>connexion fermée</translation>
    </message>
    <message>
        <source>no reply in time</source>
        <translation>pas de réponse à temps</translation>
    </message>
    <message>
        <source>corrupted reply</source>
        <translation>réponse altérée</translation>
    </message>
    <message>
        <source>refused by the sensor</source>
        <translation>refusé par le capteur</translation>
    </message>
    <message>
        <source>
Send these values to the sensor?</source>
        <translation>
Envoyer ces valeurs au capteur ?</translation>
    </message>
    <message>
        <source>No differences: the sensor holds every value shown.</source>
        <translation>Aucune différence : le capteur contient toutes les valeurs affichées.</translation>
    </message>
    <message>
        <source>What the sensor holds has not been read since connecting.

Send every value shown to the sensor?</source>
        <translation>Le contenu du capteur n&apos;a pas été lu depuis la connexion.

Envoyer toutes les valeurs affichées au capteur ?</translation>
    </message>
    <message>
        <source>%1: %2 is outside 0..65535; the value stays %3.</source>
        <translation>%1 : %2 est hors de 0..65535 ; la valeur reste %3.</translation>
    </message>
    <message>
        <source>that</source>
        <translation>cela</translation>
    </message>
    <message>
        <source>Sent: %1
The sensor holds: %2</source>
        <translation>Envoyé : %1
Le capteur contient : %2</translation>
    </message>
    <message>
        <source>The sensor holds other values than when the link was lost: it was reset, or changed by someone else.
Nothing was written to it. The values shown stay; those the sensor holds otherwise are marked.

Before the loss -&gt; now:
</source>
        <translation>Le capteur contient d&apos;autres valeurs qu&apos;à la perte de la liaison : il a été réinitialisé, ou modifié par quelqu&apos;un d&apos;autre.
Rien ne lui a été écrit. Les valeurs affichées restent ; celles qui diffèrent dans le capteur sont marquées.

Avant la perte -&gt; maintenant :
</translation>
    </message>
    <message>
        <source>Another sensor answers (%1), not the one that was connected (%2).
Automatic reconnection has stopped; nothing was written to it. Connect to work with it.</source>
        <translation>Un autre capteur répond (%1), pas celui qui était connecté (%2).
La reconnexion automatique s&apos;est arrêtée ; rien ne lui a été écrit. Connectez-vous pour travailler avec lui.</translation>
    </message>
    <message>
        <source>Reconnected after %1</source>
        <translation>Reconnecté après %1</translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n value other than before (marked)</source>
        <translation>
            <numerusform>; le capteur contient %n valeur différente d&apos;avant (marquée)</numerusform>
            <numerusform>; le capteur contient %n valeur différente d&apos;avant (marquée)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; the sensor holds %n values other than before (marked)</source>
        <translation>
            <numerusform>; le capteur contient %n valeur différente d&apos;avant (marquée)</numerusform>
            <numerusform>; le capteur contient %n valeurs différentes d&apos;avant (marquées)</numerusform>
        </translation>
    </message>
    <message>
        <source>; GO and the recording go on (a gap of %1 in the file)</source>
        <translation> ; GO et l&apos;enregistrement continuent (une interruption de %1 dans le fichier)</translation>
    </message>
    <message>
        <source>; GO goes on</source>
        <translation> ; GO continue</translation>
    </message>
    <message>
        <source>Send: the parameters go to the sensor between two samples.</source>
        <translation>Send : les paramètres vont au capteur entre deux échantillons.</translation>
    </message>
    <message>
        <source>Now at their defaults, unlike what was shown (shown -&gt; sensor):
</source>
        <translation>Désormais à leurs valeurs par défaut, contrairement à l&apos;affichage (affiché -&gt; capteur) :
</translation>
    </message>
    <message>
        <source>Get: the parameters are read from the sensor between two samples.</source>
        <translation>Get : les paramètres sont lus du capteur entre deux échantillons.</translation>
    </message>
    <message>
        <source>Send: to a parameter file; choose it.</source>
        <translation>Send : vers un fichier de paramètres ; choisissez-le.</translation>
    </message>
    <message>
        <source>Get: from a parameter file; choose it.</source>
        <translation>Get : depuis un fichier de paramètres ; choisissez-le.</translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent change?</source>
        <translation>
            <numerusform>Abandonner %n modification non envoyée ?</numerusform>
            <numerusform>Abandonner %n modification non envoyée ?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Discard %n unsent changes?</source>
        <translation>
            <numerusform>Abandonner %n modification non envoyée ?</numerusform>
            <numerusform>Abandonner %n modifications non envoyées ?</numerusform>
        </translation>
    </message>
    <message>
        <source>Not connected yet</source>
        <translation>Pas encore connecté</translation>
    </message>
    <message>
        <source>Not sent yet: the sensor holds %1</source>
        <translation>Pas encore envoyé : le capteur contient %1</translation>
    </message>
    <message>
        <source>The sensor holds %1</source>
        <translation>Le capteur contient %1</translation>
    </message>
    <message>
        <source>The sensor refused these values at the last Send (sent -&gt; holds):

</source>
        <translation>Le capteur a refusé ces valeurs au dernier Send (envoyé -&gt; contenu) :

</translation>
    </message>
    <message>
        <source>
Send them again?</source>
        <translation>
Les envoyer de nouveau ?</translation>
    </message>
    <message>
        <source>The answer to the last Send was lost: the sensor may hold what was sent, or what it held before. It may hold: </source>
        <translation>La réponse au dernier Send a été perdue : le capteur peut contenir ce qui a été envoyé, ou ce qu&apos;il contenait avant. Il peut contenir : </translation>
    </message>
    <message>
        <source>Read back what its RAM holds now? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>Relire ce que contient sa RAM maintenant ? Rien n&apos;est écrit ; les valeurs affichées restent, et celles qui diffèrent sont marquées.</translation>
    </message>
    <message>
        <source>Read back what its EEPROM holds (loaded into RAM, as Get does)? Nothing is written; the values shown stay, and those it holds otherwise are marked.</source>
        <translation>Relire ce que contient son EEPROM (chargée en RAM, comme le fait Get) ? Rien n&apos;est écrit ; les valeurs affichées restent, et celles qui diffèrent sont marquées.</translation>
    </message>
    <message>
        <source>Not taken by the sensor (sent -&gt; holds):
</source>
        <translation>Non pris par le capteur (envoyé -&gt; contenu) :
</translation>
    </message>
    <message>
        <source>RAM only: lost at power-off</source>
        <translation>RAM seulement : perdu à l&apos;arrêt</translation>
    </message>
    <message>
        <source>Values were sent to the sensor&apos;s RAM alone. It works with them now, but at the next power-on it starts with what its EEPROM holds. Store in EEPROM keeps them.</source>
        <translation>Des valeurs ont été envoyées à la seule RAM du capteur. Il travaille avec elles maintenant, mais à la prochaine mise sous tension il repart de ce que contient son EEPROM. Store in EEPROM les garde.</translation>
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
        <translation>Graphique de l&apos;espace colorimétrique, %1 en abscisse, %2 en ordonnée</translation>
    </message>
    <message>
        <source>colour %1</source>
        <translation>couleur %1</translation>
    </message>
    <message>
        <source>colours %1</source>
        <translation>couleurs %1</translation>
    </message>
</context>
<context>
    <name>qelto::gui::EditorView</name>
    <message>
        <source>Value</source>
        <translation>Valeur</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Groupe</translation>
    </message>
    <message>
        <source>Meaning</source>
        <translation>Signification</translation>
    </message>
    <message>
        <source>E&amp;dit</source>
        <translation>É&amp;diter</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Rétablir</translation>
    </message>
    <message>
        <source>Revert</source>
        <translation>Rétablir le capteur</translation>
    </message>
    <message>
        <source>Pa&amp;rameters</source>
        <translation>Pa&amp;ramètres</translation>
    </message>
    <message>
        <source>&amp;Teach rows</source>
        <translation>Lignes d&apos;appren&amp;tissage</translation>
    </message>
</context>
<context>
    <name>qelto::gui::EvidenceBar</name>
    <message>
        <source>Teach from sensor</source>
        <translation>Apprendre du capteur</translation>
    </message>
    <message>
        <source> samples</source>
        <translation> échantillons</translation>
    </message>
    <message>
        <source>Chec&amp;k tolerances…</source>
        <translation>&amp;Vérifier les tolérances…</translation>
    </message>
    <message>
        <source>Cloud</source>
        <translation>Nuage</translation>
    </message>
</context>
<context>
    <name>qelto::gui::ExplorablePlot</name>
    <message>
        <source>paused</source>
        <translation>en pause</translation>
    </message>
    <message>
        <source>the name must end in .png, .svg or .pdf</source>
        <translation>le nom doit finir par .png, .svg ou .pdf</translation>
    </message>
    <message>
        <source>it could not be written</source>
        <translation>il n&apos;a pas pu être écrit</translation>
    </message>
</context>
<context>
    <name>qelto::gui::GenericPopup</name>
    <message>
        <source>Answer</source>
        <translation>Réponse</translation>
    </message>
</context>
<context>
    <name>qelto::gui::LinkMonitorPanel</name>
    <message>
        <source>Link monitor</source>
        <translation>Moniteur de liaison</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>Cl&amp;ear</source>
        <translation>&amp;Effacer</translation>
    </message>
    <message>
        <source>All commands</source>
        <translation>Toutes les commandes</translation>
    </message>
    <message>
        <source>&amp;Command</source>
        <translation>&amp;Commande</translation>
    </message>
    <message>
        <source>Every &amp;live-data exchange</source>
        <translation>Chaque échange de données en &amp;direct</translation>
    </message>
    <message>
        <source>Otherwise the live-data exchanges that went well are folded into one counting line</source>
        <translation>Sinon les échanges de données en direct réussis sont regroupés en une ligne de comptage</translation>
    </message>
    <message>
        <source>&amp;Failures only</source>
        <translation>É&amp;checs seulement</translation>
    </message>
    <message>
        <source>Only the replies that were rejected or did not come</source>
        <translation>Seulement les réponses rejetées ou non reçues</translation>
    </message>
    <message>
        <source>&amp;Bytes</source>
        <translation>&amp;Octets</translation>
    </message>
    <message>
        <source>The bytes in hex, and below the list the selected line&apos;s frames with their offsets and ASCII</source>
        <translation>Les octets en hexadécimal, et sous la liste les trames de la ligne choisie avec leurs décalages et l&apos;ASCII</translation>
    </message>
    <message>
        <source>&amp;Save as text…</source>
        <translation>&amp;Enregistrer en texte…</translation>
    </message>
    <message>
        <source>Argument</source>
        <translation>Argument</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Longueur</translation>
    </message>
    <message>
        <source>Requests and replies</source>
        <translation>Requêtes et réponses</translation>
    </message>
    <message>
        <source>Bytes of the selected line</source>
        <translation>Octets de la ligne choisie</translation>
    </message>
    <message>
        <source>No line.</source>
        <translation>Aucune ligne.</translation>
    </message>
    <message>
        <source>&lt; reply: nothing came</source>
        <translation>&lt; réponse : rien n&apos;est venu</translation>
    </message>
    <message>
        <source>1 line</source>
        <translation>1 ligne</translation>
    </message>
    <message>
        <source>%1 lines</source>
        <translation>%1 lignes</translation>
    </message>
    <message>
        <source>, the oldest %1 no longer kept (the monitor keeps the last %2)</source>
        <translation>, les %1 plus anciennes ne sont plus gardées (le moniteur garde les %2 dernières)</translation>
    </message>
    <message>
        <source>; paused, the record goes on</source>
        <translation> ; en pause, l&apos;enregistrement continue</translation>
    </message>
    <message>
        <source>Save the link monitor as text</source>
        <translation>Enregistrer le moniteur de liaison en texte</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Fichiers texte (*.txt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>The link monitor was not saved to %1: %2.</source>
        <translation>Le moniteur de liaison n&apos;a pas été enregistré dans %1 : %2.</translation>
    </message>
</context>
<context>
    <name>qelto::gui::MonitorTableModel</name>
    <message>
        <source>request</source>
        <translation>requête</translation>
    </message>
    <message>
        <source>reply</source>
        <translation>réponse</translation>
    </message>
    <message>
        <source>requests and replies, folded</source>
        <translation>requêtes et réponses, regroupées</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Heure</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Commande</translation>
    </message>
    <message>
        <source>Argument</source>
        <translation>Argument</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Longueur</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Résultat</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>Octets</translation>
    </message>
</context>
<context>
    <name>qelto::gui::QtUi</name>
    <message>
        <source>Reconnect</source>
        <translation>Reconnecter</translation>
    </message>
    <message>
        <source>Auto-reconnect</source>
        <translation>Reconnexion auto</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Ouvrir le dossier</translation>
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
        <translation>Tous les fichiers (*)</translation>
    </message>
</context>
<context>
    <name>qelto::gui::StripChart</name>
    <message>
        <source>Red</source>
        <translation>Rouge</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Vert</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Bleu</translation>
    </message>
    <message>
        <source>samples (0: newest)</source>
        <translation>échantillons (0 : le plus récent)</translation>
    </message>
    <message>
        <source>R G B</source>
        <translation>R V B</translation>
    </message>
    <message>
        <source>sample %1
R %2   G %3   B %4</source>
        <translation>échantillon %1
R %2   V %3   B %4</translation>
    </message>
</context>
<context>
    <name>qelto::gui::TablePopup</name>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>qelto::gui::WindowMenu</name>
    <message>
        <source>&amp;Open parameters…</source>
        <translation>&amp;Ouvrir des paramètres…</translation>
    </message>
    <message>
        <source>Open r&amp;ecent</source>
        <translation>Ouvrir un fichier r&amp;écent</translation>
    </message>
    <message>
        <source>Save parameters &amp;as…</source>
        <translation>Enregistrer les paramètres &amp;sous…</translation>
    </message>
    <message>
        <source>&amp;Record live data…</source>
        <translation>En&amp;registrer les données en direct…</translation>
    </message>
    <message>
        <source>Recording &amp;keeps</source>
        <translation>L&apos;enregistrement &amp;garde</translation>
    </message>
    <message>
        <source>Co&amp;mpare…</source>
        <translation>Co&amp;mparer…</translation>
    </message>
    <message>
        <source>Export graph X–&amp;Y…</source>
        <translation>Exporter le graphique X–&amp;Y…</translation>
    </message>
    <message>
        <source>Export graph X–&amp;INT…</source>
        <translation>Exporter le graphique X–&amp;INT…</translation>
    </message>
    <message>
        <source>Export graph Y–I&amp;NT…</source>
        <translation>Exporter le graphique Y–I&amp;NT…</translation>
    </message>
    <message>
        <source>Export RGB &amp;strip chart…</source>
        <translation>Exporter l&apos;&amp;enregistreur RVB…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Connection page</source>
        <translation>Page de &amp;connexion</translation>
    </message>
    <message>
        <source>&amp;Parameter page</source>
        <translation>Page des &amp;paramètres</translation>
    </message>
    <message>
        <source>Pa&amp;use graphs</source>
        <translation>&amp;Suspendre les graphiques</translation>
    </message>
    <message>
        <source>&amp;Reset graph views</source>
        <translation>&amp;Réinitialiser les vues</translation>
    </message>
    <message>
        <source>&amp;Edit parameters</source>
        <translation>É&amp;diter les paramètres</translation>
    </message>
    <message>
        <source>U&amp;ndo</source>
        <translation>A&amp;nnuler</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>Ré&amp;tablir</translation>
    </message>
    <message>
        <source>Re&amp;vert</source>
        <translation>Re&amp;venir au capteur</translation>
    </message>
    <message>
        <source>&amp;Link monitor</source>
        <translation>Moniteur de &amp;liaison</translation>
    </message>
    <message>
        <source>Clear c&amp;onnection log</source>
        <translation>Effacer le &amp;journal de connexion</translation>
    </message>
    <message>
        <source>&amp;Standard size</source>
        <translation>&amp;Taille standard</translation>
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
        <translation>Fré&amp;quence de balayage (FREQ)</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Connecter</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Déconnecter</translation>
    </message>
    <message>
        <source>&amp;Reconnect</source>
        <translation>&amp;Reconnecter</translation>
    </message>
    <message>
        <source>Reconnect automaticall&amp;y</source>
        <translation>Reconnecter &amp;automatiquement</translation>
    </message>
    <message>
        <source>Port &amp;list</source>
        <translation>&amp;Liste des ports</translation>
    </message>
    <message>
        <source>&amp;Accept settings</source>
        <translation>&amp;Accepter les réglages</translation>
    </message>
    <message>
        <source>Start ass&amp;istant</source>
        <translation>Lancer l&apos;ass&amp;istant</translation>
    </message>
    <message>
        <source>&amp;About Qelto</source>
        <translation>À &amp;propos de Qelto</translation>
    </message>
    <message>
        <source>Right-click a control for its help</source>
        <translation>Clic droit sur une commande pour son aide</translation>
    </message>
    <message>
        <source>Graphs: the wheel zooms, a drag pans, a double-click resets</source>
        <translation>Graphiques : la molette zoome, un glisser déplace, un double-clic réinitialise</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>&amp;Sensor</source>
        <translation>&amp;Capteur</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;ide</translation>
    </message>
    <message>
        <source>No parameter file yet</source>
        <translation>Pas encore de fichier de paramètres</translation>
    </message>
    <message>
        <source>&amp;Every sample</source>
        <translation>&amp;Chaque échantillon</translation>
    </message>
    <message>
        <source>One sample in &amp;N (now %1)…</source>
        <translation>Un échantillon sur &amp;N (actuellement %1)…</translation>
    </message>
    <message>
        <source>One sample per &amp;interval (now %1 s)…</source>
        <translation>Un échantillon par &amp;intervalle (actuellement %1 s)…</translation>
    </message>
    <message>
        <source>Recording keeps</source>
        <translation>L&apos;enregistrement garde</translation>
    </message>
    <message>
        <source>Keep one sample in:</source>
        <translation>Garder un échantillon sur :</translation>
    </message>
    <message>
        <source>Keep one sample per interval of (seconds):</source>
        <translation>Garder un échantillon par intervalle de (secondes) :</translation>
    </message>
    <message>
        <source>Export graph</source>
        <translation>Exporter le graphique</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>Image PNG (*.png)</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>Dessin SVG (*.svg)</translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>Document PDF (*.pdf)</translation>
    </message>
    <message>
        <source>The graph was not saved to %1: %2.</source>
        <translation>Le graphique n&apos;a pas été enregistré dans %1 : %2.</translation>
    </message>
    <message>
        <source>%1
Qelto %2

Configures and watches a KORVANEX colour sensor over RS-232 or TCP/IP; qelto-cli does the same from scripts, qelto-sim simulates a sensor.

Licence: GPL-3.0-or-later
Qt %3 (built with %4), QCustomPlot %5</source>
        <translation>%1
Qelto %2

Configure et surveille un capteur de couleur KORVANEX par RS-232 ou TCP/IP ; qelto-cli fait de même depuis des scripts, qelto-sim simule un capteur.

Licence : GPL-3.0-or-later
Qt %3 (compilé avec %4), QCustomPlot %5</translation>
    </message>
    <message>
        <source>About Qelto</source>
        <translation>À propos de Qelto</translation>
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
