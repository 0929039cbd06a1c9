<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>platter::AlbumOutlineModel</name>
    <message>
        <source>Shuffle the songs of this disc one by one</source>
        <translation>Die Titel dieser CD einzeln mischen</translation>
    </message>
    <message>
        <source>Shuffle each disc of this album as a whole</source>
        <translation>Jede CD dieses Albums als Ganzes mischen</translation>
    </message>
    <message>
        <source>Shuffle the songs of this album one by one</source>
        <translation>Die Titel dieses Albums einzeln mischen</translation>
    </message>
    <message>
        <source>%1–%2</source>
        <comment>a range of years</comment>
        <translation>%1–%2</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <comment>an album's year and length</comment>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>Disc %1</source>
        <translation>CD %1</translation>
    </message>
    <message>
        <source>Compilation Album</source>
        <translation>Kompilation</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>Split into Discs</source>
        <translation>In CDs teilen</translation>
    </message>
    <message>
        <source>Split into Songs</source>
        <translation>In Titel teilen</translation>
    </message>
</context>
<context>
    <name>platter::MainWindow</name>
    <message>
        <source>Find Music Folder…</source>
        <translation>Musikordner suchen…</translation>
    </message>
    <message>
        <source>Choose a folder or drive that holds your music</source>
        <translation>Einen Ordner oder ein Laufwerk mit Ihrer Musik wählen</translation>
    </message>
    <message>
        <source>Your settings file could not be read, nor set aside; the defaults apply, and no setting will be saved.</source>
        <translation>Ihre Einstellungsdatei konnte weder gelesen noch beiseitegelegt werden; es gelten die Standardwerte, und keine Einstellung wird gespeichert.</translation>
    </message>
    <message>
        <source>Your settings file could not be read and was set aside as %1; the defaults apply.</source>
        <translation>Ihre Einstellungsdatei konnte nicht gelesen werden und wurde als %1 beiseitegelegt; es gelten die Standardwerte.</translation>
    </message>
    <message>
        <source>None of the %L1 songs in this library has a file on this computer: they are streams or songs kept in the cloud.</source>
        <translation>Keiner der %L1 Titel dieser Mediathek hat eine Datei auf diesem Computer: Es sind Streams oder Titel in der Cloud.</translation>
    </message>
    <message>
        <source>%L1 of %L2 songs has no file on this computer.</source>
        <translation>%L1 von %L2 Titeln hat keine Datei auf diesem Computer.</translation>
    </message>
    <message>
        <source>%L1 of %L2 songs have no file on this computer.</source>
        <translation>%L1 von %L2 Titeln haben keine Datei auf diesem Computer.</translation>
    </message>
    <message>
        <source>&amp;Platter</source>
        <translation>&amp;Platter</translation>
    </message>
    <message>
        <source>&amp;Preferences…</source>
        <translation>&amp;Einstellungen…</translation>
    </message>
    <message>
        <source>Choose &amp;Library…</source>
        <translation>&amp;Mediathek wählen…</translation>
    </message>
    <message>
        <source>&amp;Reset…</source>
        <translation>&amp;Zurücksetzen…</translation>
    </message>
    <message>
        <source>Read the library file again</source>
        <translation>Die Mediathek-Datei neu einlesen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>P&amp;laylist</source>
        <translation>&amp;Wiedergabeliste</translation>
    </message>
    <message>
        <source>&amp;Save Album Choices</source>
        <translation>Albumauswahl &amp;speichern</translation>
    </message>
    <message>
        <source>&amp;Shuffle Albums</source>
        <translation>Alben &amp;mischen</translation>
    </message>
    <message>
        <source>&amp;Reshuffle</source>
        <translation>&amp;Neu mischen</translation>
    </message>
    <message>
        <source>Edit &amp;Albums</source>
        <translation>Alben &amp;bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Export…</source>
        <translation>&amp;Exportieren…</translation>
    </message>
    <message>
        <source>&amp;Controls</source>
        <translation>&amp;Steuerung</translation>
    </message>
    <message>
        <source>&amp;Play/Pause</source>
        <translation>&amp;Wiedergabe/Pause</translation>
    </message>
    <message>
        <source>&amp;Next Song</source>
        <translation>&amp;Nächster Titel</translation>
    </message>
    <message>
        <source>&amp;Restart Song</source>
        <translation>Titel neu &amp;starten</translation>
    </message>
    <message>
        <source>Next &amp;Album</source>
        <translation>Nächstes &amp;Album</translation>
    </message>
    <message>
        <source>Restart Al&amp;bum</source>
        <translation>Album ne&amp;u starten</translation>
    </message>
    <message>
        <source>Announce New &amp;Songs</source>
        <translation>Neue Titel an&amp;kündigen</translation>
    </message>
    <message>
        <source>A desktop notification for each new song while this window is not in front</source>
        <translation>Eine Desktop-Benachrichtigung für jeden neuen Titel, solange dieses Fenster nicht im Vordergrund ist</translation>
    </message>
</context>
<context>
    <name>platter::MyMainViewController</name>
    <message>
        <source>Play Next</source>
        <translation>Als Nächstes spielen</translation>
    </message>
    <message>
        <source>Play this song&apos;s album, disc or song after the one that plays</source>
        <translation>Album, CD oder Titel, zu dem dieser Titel gehört, nach dem laufenden spielen</translation>
    </message>
    <message>
        <source>Search Albums and Songs</source>
        <translation>Alben und Titel durchsuchen</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
</context>
<context>
    <name>platter::MyPlaylistsViewController</name>
    <message>
        <source>Shuffle</source>
        <translation>Mischen</translation>
    </message>
    <message>
        <source>As in Preferences</source>
        <translation>Wie in den Einstellungen</translation>
    </message>
    <message>
        <source>Uniform</source>
        <translation>Gleichmäßig</translation>
    </message>
    <message>
        <source>Rediscover: Long Unheard First</source>
        <translation>Wiederentdecken: lange Ungehörtes zuerst</translation>
    </message>
    <message>
        <source>PLAYLISTS</source>
        <translation>WIEDERGABELISTEN</translation>
    </message>
</context>
<context>
    <name>platter::MySettingWindowController</name>
    <message>
        <source>Uniform</source>
        <translation>Gleichmäßig</translation>
    </message>
    <message>
        <source>Rediscover</source>
        <translation>Wiederentdecken</translation>
    </message>
    <message>
        <source>Favours what you have not heard for the longest time: songs never played come first</source>
        <translation>Bevorzugt, was Sie am längsten nicht gehört haben: nie gespielte Titel kommen zuerst</translation>
    </message>
    <message>
        <source>A playlist's own choice, in its context menu in the list, goes first</source>
        <translation>Die eigene Wahl einer Wiedergabeliste, in ihrem Kontextmenü in der Liste, hat Vorrang</translation>
    </message>
    <message>
        <source>Shuffle:</source>
        <translation>Mischen:</translation>
    </message>
    <message>
        <source>Add…</source>
        <translation>Hinzufügen…</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>% of the playlist&apos;s most frequent artists (1 to 100)</source>
        <translation>% der häufigsten Interpreten der Wiedergabeliste (1 bis 100)</translation>
    </message>
    <message>
        <source>Where Platter looks for songs that are not where the library says, before any other folder</source>
        <translation>Hier sucht Platter vor allen anderen Ordnern nach Titeln, die nicht dort sind, wo die Mediathek sie angibt</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>By shuffle grain</source>
        <translation>Nach Mischeinheit</translation>
    </message>
    <message>
        <source>Always track gain</source>
        <translation>Immer Titel-Gain</translation>
    </message>
    <message>
        <source>Always album gain</source>
        <translation>Immer Album-Gain</translation>
    </message>
    <message>
        <source>Album gain while a whole album or disc plays, so it keeps its dynamics; track gain for songs shuffled one by one</source>
        <translation>Album-Gain, solange ein ganzes Album oder eine ganze CD läuft, damit die Dynamik erhalten bleibt; Titel-Gain für einzeln gemischte Titel</translation>
    </message>
    <message>
        <source>Added to the gains stored in the files</source>
        <translation>Wird zu den in den Dateien gespeicherten Gain-Werten addiert</translation>
    </message>
    <message>
        <source>For files that store no ReplayGain</source>
        <translation>Für Dateien ohne ReplayGain-Angaben</translation>
    </message>
    <message>
        <source>Pre-amp</source>
        <translation>Vorverstärkung</translation>
    </message>
    <message>
        <source>Files without gains</source>
        <translation>Dateien ohne Gain</translation>
    </message>
    <message>
        <source>Store country:</source>
        <translation>Land des Stores:</translation>
    </message>
    <message>
        <source>Suggest albums of:</source>
        <translation>Alben vorschlagen von:</translation>
    </message>
    <message>
        <source>Music folders:</source>
        <translation>Musikordner:</translation>
    </message>
    <message>
        <source>ReplayGain:</source>
        <translation>ReplayGain:</translation>
    </message>
    <message>
        <source>The store country and the share of artists apply the next time you select a playlist; a ReplayGain mode from the next song; a shuffle mode from the next shuffle.</source>
        <translation>Das Land des Stores und der Anteil der Interpreten gelten ab der nächsten Wahl einer Wiedergabeliste, ein ReplayGain-Modus ab dem nächsten Titel, ein Mischmodus ab dem nächsten Mischen.</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Scrobbling</source>
        <translation>Scrobbling</translation>
    </message>
</context>
<context>
    <name>platter::MyTopViewController</name>
    <message>
        <source>Play or pause</source>
        <translation>Wiedergabe oder Pause</translation>
    </message>
    <message>
        <source>Restart the song</source>
        <translation>Titel neu starten</translation>
    </message>
    <message>
        <source>Next song</source>
        <translation>Nächster Titel</translation>
    </message>
    <message>
        <source>Restart the album, disc or song that plays</source>
        <translation>Das laufende Album, die laufende CD oder den laufenden Titel neu starten</translation>
    </message>
    <message>
        <source>Skip the rest of the album, disc or song that plays</source>
        <translation>Den Rest des laufenden Albums, der CD oder des Titels überspringen</translation>
    </message>
    <message>
        <source>Shuffle Albums</source>
        <translation>Alben mischen</translation>
    </message>
    <message>
        <source>Keep these album choices and show the shuffled order</source>
        <translation>Diese Albumauswahl übernehmen und die gemischte Reihenfolge zeigen</translation>
    </message>
    <message>
        <source>Reshuffle</source>
        <translation>Neu mischen</translation>
    </message>
    <message>
        <source>Draw a new random order</source>
        <translation>Eine neue zufällige Reihenfolge ziehen</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exportieren…</translation>
    </message>
    <message>
        <source>Save this order as a playlist file the library application imports</source>
        <translation>Diese Reihenfolge als Wiedergabelisten-Datei speichern, die die Mediathek-Anwendung importieren kann</translation>
    </message>
    <message>
        <source>Edit Albums</source>
        <translation>Alben bearbeiten</translation>
    </message>
    <message>
        <source>Back to choosing how each album is shuffled</source>
        <translation>Zurück zur Wahl, wie jedes Album gemischt wird</translation>
    </message>
    <message>
        <source>Where the song is; drag to move within it</source>
        <translation>Position im Titel; ziehen, um darin zu springen</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Lautstärke</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Wiedergabe</translation>
    </message>
    <message>
        <source>Waiting for reading all your songs.... or no songs?</source>
        <translation>Alle Ihre Titel werden gelesen … oder gibt es keine?</translation>
    </message>
    <message>
        <source>Please select one of playlists at the left.</source>
        <translation>Bitte wählen Sie links eine Wiedergabeliste.</translation>
    </message>
    <message>
        <source>%L1 Songs, %L2 Albums, %3 hours</source>
        <translation>%L1 Titel, %L2 Alben, %3 Stunden</translation>
    </message>
</context>
<context>
    <name>platter::NoticeText</name>
    <message>
        <source>Some saved choices, orders or positions could not be read and will not be kept.</source>
        <translation>Einige gespeicherte Einstellungen, Reihenfolgen oder Positionen konnten nicht gelesen werden und werden nicht behalten.</translation>
    </message>
    <message>
        <source>Some saved choices, orders or positions could not be read; the settings file as it was is kept as %1.</source>
        <translation>Einige gespeicherte Einstellungen, Reihenfolgen oder Positionen konnten nicht gelesen werden; die Einstellungsdatei wird in ihrem bisherigen Zustand als %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>Some saved orders or positions could not be read; those playlists start afresh.</source>
        <translation>Einige gespeicherte Reihenfolgen oder Positionen konnten nicht gelesen werden; diese Wiedergabelisten beginnen von vorn.</translation>
    </message>
    <message>
        <source>Saved orders and positions could not be moved to the state folder (%1); they stay in the settings file and move at the next start.</source>
        <translation>Gespeicherte Reihenfolgen und Positionen konnten nicht in den Statusordner verschoben werden (%1); sie bleiben in der Einstellungsdatei und werden beim nächsten Start verschoben.</translation>
    </message>
    <message>
        <source>Could not save the settings file; Platter will try again at the next change.</source>
        <translation>Die Einstellungsdatei konnte nicht gespeichert werden; Platter versucht es bei der nächsten Änderung erneut.</translation>
    </message>
    <message>
        <source>Could not save (%1); Platter will try again at the next change.</source>
        <translation>Speichern nicht möglich (%1); Platter versucht es bei der nächsten Änderung erneut.</translation>
    </message>
    <message>
        <source>The sound output is not available (%1). Playback is paused; press Play to try again.</source>
        <translation>Die Tonausgabe ist nicht verfügbar (%1). Die Wiedergabe ist angehalten; drücken Sie Wiedergabe, um es erneut zu versuchen.</translation>
    </message>
    <message>
        <source>The music folder %1 cannot be reached. Playback is paused; press Play when it is back.</source>
        <translation>Der Musikordner %1 ist nicht erreichbar. Die Wiedergabe ist angehalten; drücken Sie Wiedergabe, sobald er wieder da ist.</translation>
    </message>
    <message>
        <source>The play counts and ratings file was missing; its copy of %1 took its place, with what was counted until then.</source>
        <translation>Die Datei mit Wiedergabezählern und Bewertungen fehlte; ihre Kopie vom %1 trat an ihre Stelle, mit allem, was bis dahin gezählt wurde.</translation>
    </message>
    <message>
        <source>The play counts and ratings file was damaged and was moved to %1; its copy of %2 took its place, with what was counted until then.</source>
        <translation>Die Datei mit Wiedergabezählern und Bewertungen war beschädigt und wurde nach %1 verschoben; ihre Kopie vom %2 trat an ihre Stelle, mit allem, was bis dahin gezählt wurde.</translation>
    </message>
    <message>
        <source>The play counts and ratings file was damaged and was moved to %1; Platter counts afresh. The counts of your library file are kept.</source>
        <translation>Die Datei mit Wiedergabezählern und Bewertungen war beschädigt und wurde nach %1 verschoben; Platter zählt neu. Die Zähler Ihrer Mediathekdatei bleiben erhalten.</translation>
    </message>
    <message>
        <source>Play counts and ratings cannot be kept (%1): they count for this session only.</source>
        <translation>Wiedergabezähler und Bewertungen können nicht gespeichert werden (%1): Sie gelten nur für diese Sitzung.</translation>
    </message>
    <message>
        <source>The play counts and ratings file is from a newer version of Platter and is left as it is: counts and ratings count for this session only.</source>
        <translation>Die Datei mit Wiedergabezählern und Bewertungen stammt von einer neueren Version von Platter und bleibt unverändert: Zähler und Bewertungen gelten nur für diese Sitzung.</translation>
    </message>
    <message>
        <source>Adding music: %1 of %2 files</source>
        <translation>Musik wird hinzugefügt: %1 von %2 Dateien</translation>
    </message>
    <message>
        <source>The scrobbling accounts file could not be read and was moved to %1; set your accounts again in Preferences to send listens.</source>
        <translation>Die Datei der Scrobbling-Konten konnte nicht gelesen werden und wurde nach %1 verschoben; richten Sie Ihre Konten in den Einstellungen erneut ein, um Titel zu senden.</translation>
    </message>
    <message>
        <source>%1 refused your account: your listens wait until you set it again in Preferences.</source>
        <translation>%1 hat Ihr Konto abgelehnt: Ihre gehörten Titel warten, bis Sie es in den Einstellungen erneut einrichten.</translation>
    </message>
</context>
<context>
    <name>platter::PlatterApp</name>
    <message>
        <source>No audio output device was found: songs play silently.</source>
        <translation>Kein Audioausgabegerät gefunden: Titel werden stumm abgespielt.</translation>
    </message>
</context>
<context>
    <name>platter::PlaylistsModel</name>
    <message>
        <source>Added on This Computer</source>
        <translation>Auf diesem Computer hinzugefügt</translation>
    </message>
</context>
<context>
    <name>platter::QtDialogs</name>
    <message>
        <source>XML playlist (%1)</source>
        <translation>XML-Wiedergabeliste (%1)</translation>
    </message>
    <message>
        <source>M3U8 playlist for other players (%1)</source>
        <translation>M3U8-Wiedergabeliste für andere Player (%1)</translation>
    </message>
    <message>
        <source>Not every song of “%1” is in the playlist file.</source>
        <translation>Nicht jeder Titel von „%1“ ist in der Wiedergabelisten-Datei.</translation>
    </message>
    <message>
        <source>Left out, as their files are not on this computer: %1 of %2 songs.</source>
        <translation>Ausgelassen, da ihre Dateien nicht auf diesem Computer sind: %1 von %2 Titeln.</translation>
    </message>
    <message>
        <source>Choose Your Music Library File</source>
        <translation>Ihre Mediathek-Datei wählen</translation>
    </message>
    <message>
        <source>Music library files (*.xml);;All files (*)</source>
        <translation>Mediathek-Dateien (*.xml);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Playlist files (%1)</source>
        <translation>Wiedergabelisten-Dateien (%1)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Platter needs your music library file.</source>
        <translation>Platter braucht Ihre Mediathek-Datei.</translation>
    </message>
    <message>
        <source>Platter plays the playlists of the library file your music application keeps or exports (in iTunes or Music: File › Library › Export Library…). It looked for it here and found none it could read:
%1

Choose the file to go on, or quit.</source>
        <translation>Platter spielt die Wiedergabelisten der Mediathek-Datei, die Ihre Musik-Anwendung führt oder exportiert (in iTunes oder Musik: Ablage › Mediathek › Mediathek exportieren…). Es hat hier gesucht und keine lesbare gefunden:
%1

Wählen Sie die Datei, um fortzufahren, oder beenden Sie Platter.</translation>
    </message>
    <message>
        <source>Choose Library…</source>
        <translation>Mediathek wählen…</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Add a Folder That Holds Your Music</source>
        <translation>Einen Ordner mit Ihrer Musik hinzufügen</translation>
    </message>
    <message>
        <source>Choose the Folder That Holds Your Music</source>
        <translation>Ordner mit Ihrer Musik wählen</translation>
    </message>
    <message>
        <source>Export iTune Playlist</source>
        <translation>iTunes-Wiedergabeliste exportieren</translation>
    </message>
    <message>
        <source>If you click &quot;OK&quot;, all playlists created in &quot;Platter&quot; will deleted.
Are you sure?</source>
        <translation>Wenn Sie auf „OK“ klicken, werden alle in „Platter“ erstellten Wiedergabelisten gelöscht.
Sind Sie sicher?</translation>
    </message>
    <message>
        <source>Nothing in “%1” can be played.</source>
        <translation>Nichts in „%1“ kann abgespielt werden.</translation>
    </message>
    <message>
        <source>The files of %L1 of its %L2 songs are not on this computer where the library says. If your music is in another folder or on a drive, choose that folder and Platter will look there.</source>
        <translation>Die Dateien von %L1 seiner %L2 Titel liegen nicht dort auf diesem Computer, wo die Mediathek sie angibt. Wenn Ihre Musik in einem anderen Ordner oder auf einem Laufwerk liegt, wählen Sie diesen Ordner, und Platter sucht dort.</translation>
    </message>
    <message>
        <source>Find Music Folder…</source>
        <translation>Musikordner suchen…</translation>
    </message>
    <message>
        <source>Its songs are streams or songs kept in the cloud; Platter plays files on this computer only.</source>
        <translation>Seine Titel sind Streams oder in der Cloud gespeicherte Titel; Platter spielt nur Dateien auf diesem Computer ab.</translation>
    </message>
    <message>
        <source>Its songs&apos; files are here, but none of them could be read as audio.</source>
        <translation>Die Dateien seiner Titel sind vorhanden, aber keine davon konnte als Audio gelesen werden.</translation>
    </message>
    <message>
        <source>Its location is no file.</source>
        <translation>Ihr Ort ist keine Datei.</translation>
    </message>
    <message>
        <source>It could not be read: %1.</source>
        <translation>Sie konnte nicht gelesen werden: %1.</translation>
    </message>
    <message>
        <source>It holds no dictionary at its top.</source>
        <translation>Sie enthält auf oberster Ebene kein Wörterbuch.</translation>
    </message>
    <message>
        <source>It is empty.</source>
        <translation>Sie ist leer.</translation>
    </message>
    <message>
        <source>It has no “Tracks” dictionary.</source>
        <translation>Sie hat kein „Tracks“-Wörterbuch.</translation>
    </message>
    <message>
        <source>Its track “%1” is no dictionary.</source>
        <translation>Ihr Titel „%1“ ist kein Wörterbuch.</translation>
    </message>
    <message>
        <source>“%1” is not a music library Platter can read.</source>
        <translation>„%1“ ist keine Musikmediathek, die Platter lesen kann.</translation>
    </message>
    <message>
        <source>Choose the library file your music application keeps or exports, such as “iTunes Music Library.xml”.</source>
        <translation>Wählen Sie die Mediathekdatei, die Ihr Musikprogramm führt oder exportiert, etwa „iTunes Music Library.xml“.</translation>
    </message>
    <message>
        <source>The playlist could not be exported.</source>
        <translation>Die Wiedergabeliste konnte nicht exportiert werden.</translation>
    </message>
</context>
<context>
    <name>platter::SongFileLook</name>
    <message>
        <source>The file of this song is not on this computer.
Looked for: %1</source>
        <translation>Die Datei dieses Titels ist nicht auf diesem Computer.
Gesucht unter: %1</translation>
    </message>
    <message>
        <source>This song has no file: it is a stream or a song kept in the cloud.</source>
        <translation>Dieser Titel hat keine Datei: Er ist ein Stream oder liegt in der Cloud.</translation>
    </message>
</context>
<context>
    <name>platter::SongTableModel</name>
    <message>
        <source>Time</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Genre</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>Plays</source>
        <translation>Wiedergaben</translation>
    </message>
    <message>
        <source>Last Played</source>
        <translation>Zuletzt gespielt</translation>
    </message>
    <message>
        <source>Rating</source>
        <translation>Bewertung</translation>
    </message>
    <message>
        <source>Date Added</source>
        <translation>Hinzugefügt</translation>
    </message>
    <message>
        <source>%1 of 5 stars</source>
        <translation>%1 von 5 Sternen</translation>
    </message>
    <message>
        <source>Whole album</source>
        <translation>Ganzes Album</translation>
    </message>
    <message>
        <source>Disc %1 of %2</source>
        <translation>CD %1 von %2</translation>
    </message>
    <message>
        <source>Song</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>unit %1 of %2</source>
        <translation>Einheit %1 von %2</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Play from here</source>
        <translation>Ab hier spielen</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Nr.</translation>
    </message>
</context>
<context>
    <name>platter::ViewController</name>
    <message>
        <source>Store links are off: their web panes cannot run for the root user.</source>
        <translation>Store-Links sind aus: Ihre Webansichten können nicht für den Benutzer root laufen.</translation>
    </message>
</context>
<context>
    <name>platter::ScrobblingPage</name>
    <message>
        <source>From your ListenBrainz settings page</source>
        <translation>Von Ihrer ListenBrainz-Einstellungsseite</translation>
    </message>
    <message>
        <source>The official server</source>
        <translation>Der offizielle Server</translation>
    </message>
    <message>
        <source>The address of a ListenBrainz-compatible server; empty for the official one</source>
        <translation>Die Adresse eines ListenBrainz-kompatiblen Servers; leer für den offiziellen</translation>
    </message>
    <message>
        <source>User token:</source>
        <translation>Benutzer-Token:</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>Your API account&apos;s key</source>
        <translation>Der Schlüssel Ihres API-Kontos</translation>
    </message>
    <message>
        <source>Its shared secret</source>
        <translation>Sein gemeinsames Geheimnis</translation>
    </message>
    <message>
        <source>API key:</source>
        <translation>API-Schlüssel:</translation>
    </message>
    <message>
        <source>Secret:</source>
        <translation>Geheimnis:</translation>
    </message>
    <message>
        <source>Last.fm asks each user of a player like Platter for an API account of their own: create one at last.fm/api, then sign in.</source>
        <translation>Last.fm verlangt von jedem Nutzer eines Players wie Platter ein eigenes API-Konto: Legen Sie eines unter last.fm/api an und melden Sie sich dann an.</translation>
    </message>
    <message>
        <source>Platter sends each song you hear to the sites you set up here once it counts as played. Listens wait on this computer while a site cannot be reached.</source>
        <translation>Platter sendet jeden gehörten Titel an die hier eingerichteten Dienste, sobald er als gespielt zählt. Solange ein Dienst nicht erreichbar ist, warten die Titel auf diesem Computer.</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <source>Listens waiting: %1.</source>
        <translation>Wartende Titel: %1.</translation>
    </message>
    <message>
        <source>Not sending: the account is not set up.</source>
        <translation>Kein Senden: Das Konto ist nicht eingerichtet.</translation>
    </message>
    <message>
        <source>Last accepted at %1.</source>
        <translation>Zuletzt angenommen am %1.</translation>
    </message>
    <message>
        <source>The site refused the account.</source>
        <translation>Der Dienst hat das Konto abgelehnt.</translation>
    </message>
    <message>
        <source>Not signed in.</source>
        <translation>Nicht angemeldet.</translation>
    </message>
    <message>
        <source>Signed in.</source>
        <translation>Angemeldet.</translation>
    </message>
    <message>
        <source>Signed in as %1.</source>
        <translation>Angemeldet als %1.</translation>
    </message>
    <message>
        <source>Cancel Sign In</source>
        <translation>Anmeldung abbrechen</translation>
    </message>
    <message>
        <source>Sign In Again…</source>
        <translation>Erneut anmelden…</translation>
    </message>
    <message>
        <source>Sign In…</source>
        <translation>Anmelden…</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Wird geprüft…</translation>
    </message>
    <message>
        <source>The account works.</source>
        <translation>Das Konto funktioniert.</translation>
    </message>
    <message>
        <source>The account of %1 works.</source>
        <translation>Das Konto von %1 funktioniert.</translation>
    </message>
    <message>
        <source>The site refused this token.</source>
        <translation>Der Dienst hat dieses Token abgelehnt.</translation>
    </message>
    <message>
        <source>The site refused the account: sign in again.</source>
        <translation>Der Dienst hat das Konto abgelehnt: Melden Sie sich erneut an.</translation>
    </message>
    <message>
        <source>The site could not be reached; try again later.</source>
        <translation>Der Dienst war nicht erreichbar; versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <source>Enter your user token first.</source>
        <translation>Geben Sie zuerst Ihr Benutzer-Token ein.</translation>
    </message>
    <message>
        <source>Sign in first.</source>
        <translation>Melden Sie sich zuerst an.</translation>
    </message>
    <message>
        <source>Enter your API key and secret first.</source>
        <translation>Geben Sie zuerst Ihren API-Schlüssel und das Geheimnis ein.</translation>
    </message>
    <message>
        <source>Approve Platter in your browser; Platter waits for it.</source>
        <translation>Erlauben Sie Platter im Browser den Zugriff; Platter wartet darauf.</translation>
    </message>
    <message>
        <source>Signed in. Listens go to the site once you press OK.</source>
        <translation>Angemeldet. Die Titel gehen an den Dienst, sobald Sie OK drücken.</translation>
    </message>
    <message>
        <source>The sign-in did not succeed; try again.</source>
        <translation>Die Anmeldung ist nicht gelungen; versuchen Sie es erneut.</translation>
    </message>
</context>
</TS>
