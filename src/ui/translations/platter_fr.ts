<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>platter::AlbumOutlineModel</name>
    <message>
        <source>Shuffle the songs of this disc one by one</source>
        <translation>Mélanger un à un les morceaux de ce disque</translation>
    </message>
    <message>
        <source>Shuffle each disc of this album as a whole</source>
        <translation>Mélanger chaque disque de cet album d&apos;un seul bloc</translation>
    </message>
    <message>
        <source>Shuffle the songs of this album one by one</source>
        <translation>Mélanger un à un les morceaux de cet album</translation>
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
        <translation>Disque %1</translation>
    </message>
    <message>
        <source>Compilation Album</source>
        <translation>Compilation</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Artiste</translation>
    </message>
    <message>
        <source>Split into Discs</source>
        <translation>Diviser en disques</translation>
    </message>
    <message>
        <source>Split into Songs</source>
        <translation>Diviser en morceaux</translation>
    </message>
</context>
<context>
    <name>platter::MainWindow</name>
    <message>
        <source>Find Music Folder…</source>
        <translation>Trouver le dossier de musique…</translation>
    </message>
    <message>
        <source>Choose a folder or drive that holds your music</source>
        <translation>Choisir un dossier ou un disque qui contient votre musique</translation>
    </message>
    <message>
        <source>Your settings file could not be read, nor set aside; the defaults apply, and no setting will be saved.</source>
        <translation>Votre fichier de réglages n&apos;a pu être ni lu ni mis de côté&#xa0;; les valeurs par défaut s&apos;appliquent et aucun réglage ne sera enregistré.</translation>
    </message>
    <message>
        <source>Your settings file could not be read and was set aside as %1; the defaults apply.</source>
        <translation>Votre fichier de réglages n&apos;a pu être lu et a été mis de côté sous le nom %1&#xa0;; les valeurs par défaut s&apos;appliquent.</translation>
    </message>
    <message>
        <source>None of the %L1 songs in this library has a file on this computer: they are streams or songs kept in the cloud.</source>
        <translation>Aucun des %L1 morceaux de cette bibliothèque n&apos;a de fichier sur cet ordinateur&#xa0;: ce sont des flux ou des morceaux conservés dans le cloud.</translation>
    </message>
    <message>
        <source>%L1 of %L2 songs has no file on this computer.</source>
        <translation>%L1 morceau sur %L2 n&apos;a pas de fichier sur cet ordinateur.</translation>
    </message>
    <message>
        <source>%L1 of %L2 songs have no file on this computer.</source>
        <translation>%L1 morceaux sur %L2 n&apos;ont pas de fichier sur cet ordinateur.</translation>
    </message>
    <message>
        <source>&amp;Platter</source>
        <translation>&amp;Platter</translation>
    </message>
    <message>
        <source>&amp;Preferences…</source>
        <translation>&amp;Préférences…</translation>
    </message>
    <message>
        <source>Choose &amp;Library…</source>
        <translation>Choisir la &amp;bibliothèque…</translation>
    </message>
    <message>
        <source>&amp;Reset…</source>
        <translation>&amp;Réinitialiser…</translation>
    </message>
    <message>
        <source>Read the library file again</source>
        <translation>Relire le fichier de bibliothèque</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>P&amp;laylist</source>
        <translation>&amp;Liste de lecture</translation>
    </message>
    <message>
        <source>&amp;Save Album Choices</source>
        <translation>Enregistrer les &amp;choix d&apos;albums</translation>
    </message>
    <message>
        <source>&amp;Shuffle Albums</source>
        <translation>&amp;Mélanger les albums</translation>
    </message>
    <message>
        <source>&amp;Reshuffle</source>
        <translation>&amp;Remélanger</translation>
    </message>
    <message>
        <source>Edit &amp;Albums</source>
        <translation>Modifier les &amp;albums</translation>
    </message>
    <message>
        <source>&amp;Export…</source>
        <translation>&amp;Exporter…</translation>
    </message>
    <message>
        <source>&amp;Controls</source>
        <translation>&amp;Commandes</translation>
    </message>
    <message>
        <source>&amp;Play/Pause</source>
        <translation>&amp;Lecture/Pause</translation>
    </message>
    <message>
        <source>&amp;Next Song</source>
        <translation>Morceau &amp;suivant</translation>
    </message>
    <message>
        <source>&amp;Restart Song</source>
        <translation>&amp;Recommencer le morceau</translation>
    </message>
    <message>
        <source>Next &amp;Album</source>
        <translation>&amp;Album suivant</translation>
    </message>
    <message>
        <source>Restart Al&amp;bum</source>
        <translation>Recommencer l&apos;al&amp;bum</translation>
    </message>
    <message>
        <source>Announce New &amp;Songs</source>
        <translation>Annoncer les nouveaux &amp;morceaux</translation>
    </message>
    <message>
        <source>A desktop notification for each new song while this window is not in front</source>
        <translation>Une notification du bureau à chaque nouveau morceau tant que cette fenêtre n&apos;est pas au premier plan</translation>
    </message>
</context>
<context>
    <name>platter::MyMainViewController</name>
    <message>
        <source>Play Next</source>
        <translation>Lire ensuite</translation>
    </message>
    <message>
        <source>Play this song&apos;s album, disc or song after the one that plays</source>
        <translation>Lire l&apos;album, le disque ou le morceau dont fait partie ce morceau après celui en cours</translation>
    </message>
    <message>
        <source>Search Albums and Songs</source>
        <translation>Rechercher des albums et des morceaux</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Rechercher</translation>
    </message>
</context>
<context>
    <name>platter::MyPlaylistsViewController</name>
    <message>
        <source>Shuffle</source>
        <translation>Mélange</translation>
    </message>
    <message>
        <source>As in Preferences</source>
        <translation>Comme dans les préférences</translation>
    </message>
    <message>
        <source>Uniform</source>
        <translation>Uniforme</translation>
    </message>
    <message>
        <source>Rediscover: Long Unheard First</source>
        <translation>Redécouvrir : le longtemps non écouté d’abord</translation>
    </message>
    <message>
        <source>PLAYLISTS</source>
        <translation>LISTES DE LECTURE</translation>
    </message>
</context>
<context>
    <name>platter::MySettingWindowController</name>
    <message>
        <source>Uniform</source>
        <translation>Uniforme</translation>
    </message>
    <message>
        <source>Rediscover</source>
        <translation>Redécouvrir</translation>
    </message>
    <message>
        <source>Favours what you have not heard for the longest time: songs never played come first</source>
        <translation>Favorise ce que vous n’avez pas écouté depuis le plus longtemps : les morceaux jamais lus passent en premier</translation>
    </message>
    <message>
        <source>A playlist's own choice, in its context menu in the list, goes first</source>
        <translation>Le choix propre d’une liste de lecture, dans son menu contextuel de la liste, l’emporte</translation>
    </message>
    <message>
        <source>Shuffle:</source>
        <translation>Mélange :</translation>
    </message>
    <message>
        <source>Add…</source>
        <translation>Ajouter…</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>% of the playlist&apos;s most frequent artists (1 to 100)</source>
        <translation>% des artistes les plus fréquents de la liste de lecture (1 à 100)</translation>
    </message>
    <message>
        <source>Where Platter looks for songs that are not where the library says, before any other folder</source>
        <translation>Où Platter cherche, avant tout autre dossier, les morceaux qui ne sont pas là où l&apos;indique la bibliothèque</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Désactivé</translation>
    </message>
    <message>
        <source>By shuffle grain</source>
        <translation>Selon l&apos;unité de mélange</translation>
    </message>
    <message>
        <source>Always track gain</source>
        <translation>Toujours le gain par piste</translation>
    </message>
    <message>
        <source>Always album gain</source>
        <translation>Toujours le gain par album</translation>
    </message>
    <message>
        <source>Album gain while a whole album or disc plays, so it keeps its dynamics; track gain for songs shuffled one by one</source>
        <translation>Gain par album pendant la lecture d&apos;un album ou d&apos;un disque entier, pour en garder la dynamique&#xa0;; gain par piste pour les morceaux mélangés un à un</translation>
    </message>
    <message>
        <source>Added to the gains stored in the files</source>
        <translation>S&apos;ajoute aux gains enregistrés dans les fichiers</translation>
    </message>
    <message>
        <source>For files that store no ReplayGain</source>
        <translation>Pour les fichiers sans données ReplayGain</translation>
    </message>
    <message>
        <source>Pre-amp</source>
        <translation>Préampli</translation>
    </message>
    <message>
        <source>Files without gains</source>
        <translation>Fichiers sans gain</translation>
    </message>
    <message>
        <source>Store country:</source>
        <translation>Pays du Store&#xa0;:</translation>
    </message>
    <message>
        <source>Suggest albums of:</source>
        <translation>Suggérer les albums de&#xa0;:</translation>
    </message>
    <message>
        <source>Music folders:</source>
        <translation>Dossiers de musique&#xa0;:</translation>
    </message>
    <message>
        <source>ReplayGain:</source>
        <translation>ReplayGain&#xa0;:</translation>
    </message>
    <message>
        <source>The store country and the share of artists apply the next time you select a playlist; a ReplayGain mode from the next song; a shuffle mode from the next shuffle.</source>
        <translation>Le pays du Store et la part des artistes s&apos;appliquent à la prochaine liste de lecture choisie&#xa0;; un mode ReplayGain, dès le morceau suivant&#xa0;; un mode de mélange, dès le prochain mélange.</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
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
        <translation>Lecture ou pause</translation>
    </message>
    <message>
        <source>Restart the song</source>
        <translation>Recommencer le morceau</translation>
    </message>
    <message>
        <source>Next song</source>
        <translation>Morceau suivant</translation>
    </message>
    <message>
        <source>Restart the album, disc or song that plays</source>
        <translation>Recommencer l&apos;album, le disque ou le morceau en cours</translation>
    </message>
    <message>
        <source>Skip the rest of the album, disc or song that plays</source>
        <translation>Passer le reste de l&apos;album, du disque ou du morceau en cours</translation>
    </message>
    <message>
        <source>Shuffle Albums</source>
        <translation>Mélanger les albums</translation>
    </message>
    <message>
        <source>Keep these album choices and show the shuffled order</source>
        <translation>Garder ces choix d&apos;albums et afficher l&apos;ordre mélangé</translation>
    </message>
    <message>
        <source>Reshuffle</source>
        <translation>Remélanger</translation>
    </message>
    <message>
        <source>Draw a new random order</source>
        <translation>Tirer un nouvel ordre au hasard</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exporter…</translation>
    </message>
    <message>
        <source>Save this order as a playlist file the library application imports</source>
        <translation>Enregistrer cet ordre dans un fichier de liste de lecture que l&apos;application de bibliothèque sait importer</translation>
    </message>
    <message>
        <source>Edit Albums</source>
        <translation>Modifier les albums</translation>
    </message>
    <message>
        <source>Back to choosing how each album is shuffled</source>
        <translation>Revenir au choix du mélange de chaque album</translation>
    </message>
    <message>
        <source>Where the song is; drag to move within it</source>
        <translation>Position dans le morceau&#xa0;; faites glisser pour vous y déplacer</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Lecture</translation>
    </message>
    <message>
        <source>Waiting for reading all your songs.... or no songs?</source>
        <translation>Lecture de tous vos morceaux… ou n&apos;y en a-t-il aucun&#xa0;?</translation>
    </message>
    <message>
        <source>Please select one of playlists at the left.</source>
        <translation>Veuillez choisir une liste de lecture à gauche.</translation>
    </message>
    <message>
        <source>%L1 Songs, %L2 Albums, %3 hours</source>
        <translation>%L1 morceaux, %L2 albums, %3 heures</translation>
    </message>
</context>
<context>
    <name>platter::NoticeText</name>
    <message>
        <source>Some saved choices, orders or positions could not be read and will not be kept.</source>
        <translation>Certains choix, ordres ou positions enregistrés n’ont pas pu être lus et ne seront pas conservés.</translation>
    </message>
    <message>
        <source>Some saved choices, orders or positions could not be read; the settings file as it was is kept as %1.</source>
        <translation>Certains choix, ordres ou positions enregistrés n’ont pas pu être lus ; le fichier de réglages tel qu’il était est conservé sous %1.</translation>
    </message>
    <message>
        <source>Some saved orders or positions could not be read; those playlists start afresh.</source>
        <translation>Certains ordres ou positions enregistrés n’ont pas pu être lus ; ces listes de lecture repartent de zéro.</translation>
    </message>
    <message>
        <source>Saved orders and positions could not be moved to the state folder (%1); they stay in the settings file and move at the next start.</source>
        <translation>Les ordres et positions enregistrés n’ont pas pu être déplacés dans le dossier d’état (%1) ; ils restent dans le fichier de réglages et seront déplacés au prochain démarrage.</translation>
    </message>
    <message>
        <source>Could not save the settings file; Platter will try again at the next change.</source>
        <translation>Le fichier de réglages n’a pas pu être enregistré ; Platter réessaiera au prochain changement.</translation>
    </message>
    <message>
        <source>Could not save (%1); Platter will try again at the next change.</source>
        <translation>Enregistrement impossible (%1) ; Platter réessaiera au prochain changement.</translation>
    </message>
    <message>
        <source>The sound output is not available (%1). Playback is paused; press Play to try again.</source>
        <translation>La sortie audio n’est pas disponible (%1). La lecture est en pause ; appuyez sur Lecture pour réessayer.</translation>
    </message>
    <message>
        <source>The music folder %1 cannot be reached. Playback is paused; press Play when it is back.</source>
        <translation>Le dossier de musique %1 est inaccessible. La lecture est en pause ; appuyez sur Lecture quand il sera de retour.</translation>
    </message>
    <message>
        <source>The play counts and ratings file was missing; its copy of %1 took its place, with what was counted until then.</source>
        <translation>Le fichier des lectures et des notes manquait ; sa copie du %1 l’a remplacé, avec ce qui avait été compté jusque-là.</translation>
    </message>
    <message>
        <source>The play counts and ratings file was damaged and was moved to %1; its copy of %2 took its place, with what was counted until then.</source>
        <translation>Le fichier des lectures et des notes était endommagé et a été déplacé vers %1 ; sa copie du %2 l’a remplacé, avec ce qui avait été compté jusque-là.</translation>
    </message>
    <message>
        <source>The play counts and ratings file was damaged and was moved to %1; Platter counts afresh. The counts of your library file are kept.</source>
        <translation>Le fichier des lectures et des notes était endommagé et a été déplacé vers %1 ; Platter recommence à compter. Les comptes de votre fichier de bibliothèque sont conservés.</translation>
    </message>
    <message>
        <source>Play counts and ratings cannot be kept (%1): they count for this session only.</source>
        <translation>Les lectures et les notes ne peuvent pas être conservées (%1) : elles ne valent que pour cette session.</translation>
    </message>
    <message>
        <source>The play counts and ratings file is from a newer version of Platter and is left as it is: counts and ratings count for this session only.</source>
        <translation>Le fichier des lectures et des notes vient d’une version plus récente de Platter et reste tel quel : les lectures et les notes ne valent que pour cette session.</translation>
    </message>
    <message>
        <source>Adding music: %1 of %2 files</source>
        <translation>Ajout de musique&#xa0;: %1 fichiers sur %2</translation>
    </message>
    <message>
        <source>The scrobbling accounts file could not be read and was moved to %1; set your accounts again in Preferences to send listens.</source>
        <translation>Le fichier des comptes de scrobbling n’a pas pu être lu et a été déplacé vers %1 ; configurez à nouveau vos comptes dans les Préférences pour envoyer vos écoutes.</translation>
    </message>
    <message>
        <source>%1 refused your account: your listens wait until you set it again in Preferences.</source>
        <translation>%1 a refusé votre compte : vos écoutes attendent que vous le configuriez à nouveau dans les Préférences.</translation>
    </message>
</context>
<context>
    <name>platter::PlatterApp</name>
    <message>
        <source>No audio output device was found: songs play silently.</source>
        <translation>Aucun périphérique de sortie audio n&apos;a été trouvé&#xa0;: les morceaux sont lus sans son.</translation>
    </message>
</context>
<context>
    <name>platter::PlaylistsModel</name>
    <message>
        <source>Added on This Computer</source>
        <translation>Ajoutés sur cet ordinateur</translation>
    </message>
</context>
<context>
    <name>platter::QtDialogs</name>
    <message>
        <source>XML playlist (%1)</source>
        <translation>Liste de lecture XML (%1)</translation>
    </message>
    <message>
        <source>M3U8 playlist for other players (%1)</source>
        <translation>Liste de lecture M3U8 pour d’autres lecteurs (%1)</translation>
    </message>
    <message>
        <source>Not every song of “%1” is in the playlist file.</source>
        <translation>Tous les morceaux de « %1 » ne sont pas dans le fichier de liste de lecture.</translation>
    </message>
    <message>
        <source>Left out, as their files are not on this computer: %1 of %2 songs.</source>
        <translation>Omis, car leurs fichiers ne sont pas sur cet ordinateur : %1 morceaux sur %2.</translation>
    </message>
    <message>
        <source>Choose Your Music Library File</source>
        <translation>Choisissez votre fichier de bibliothèque musicale</translation>
    </message>
    <message>
        <source>Music library files (*.xml);;All files (*)</source>
        <translation>Fichiers de bibliothèque musicale (*.xml);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Choisir</translation>
    </message>
    <message>
        <source>Playlist files (%1)</source>
        <translation>Fichiers de liste de lecture (%1)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Platter needs your music library file.</source>
        <translation>Platter a besoin de votre fichier de bibliothèque musicale.</translation>
    </message>
    <message>
        <source>Platter plays the playlists of the library file your music application keeps or exports (in iTunes or Music: File › Library › Export Library…). It looked for it here and found none it could read:
%1

Choose the file to go on, or quit.</source>
        <translation>Platter lit les listes de lecture du fichier de bibliothèque que votre application musicale tient à jour ou exporte (dans iTunes ou Musique&#xa0;: Fichier › Bibliothèque › Exporter la bibliothèque…). Il l&apos;a cherché ici sans en trouver un qu&apos;il puisse lire&#xa0;:
%1

Choisissez le fichier pour continuer, ou quittez.</translation>
    </message>
    <message>
        <source>Choose Library…</source>
        <translation>Choisir la bibliothèque…</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Add a Folder That Holds Your Music</source>
        <translation>Ajouter un dossier qui contient votre musique</translation>
    </message>
    <message>
        <source>Choose the Folder That Holds Your Music</source>
        <translation>Choisir le dossier qui contient votre musique</translation>
    </message>
    <message>
        <source>Export iTune Playlist</source>
        <translation>Exporter la liste de lecture iTunes</translation>
    </message>
    <message>
        <source>If you click &quot;OK&quot;, all playlists created in &quot;Platter&quot; will deleted.
Are you sure?</source>
        <translation>Si vous cliquez sur « OK », toutes les listes de lecture créées dans « Platter » seront supprimées.
Êtes-vous sûr ?</translation>
    </message>
    <message>
        <source>Nothing in “%1” can be played.</source>
        <translation>Rien dans « %1 » ne peut être lu.</translation>
    </message>
    <message>
        <source>The files of %L1 of its %L2 songs are not on this computer where the library says. If your music is in another folder or on a drive, choose that folder and Platter will look there.</source>
        <translation>Les fichiers de %L1 de ses %L2 morceaux ne sont pas sur cet ordinateur là où la bibliothèque l’indique. Si votre musique est dans un autre dossier ou sur un disque, choisissez ce dossier et Platter y cherchera.</translation>
    </message>
    <message>
        <source>Find Music Folder…</source>
        <translation>Trouver le dossier de musique…</translation>
    </message>
    <message>
        <source>Its songs are streams or songs kept in the cloud; Platter plays files on this computer only.</source>
        <translation>Ses morceaux sont des flux ou des morceaux conservés dans le nuage ; Platter ne lit que les fichiers de cet ordinateur.</translation>
    </message>
    <message>
        <source>Its songs&apos; files are here, but none of them could be read as audio.</source>
        <translation>Les fichiers de ses morceaux sont là, mais aucun n’a pu être lu comme de l’audio.</translation>
    </message>
    <message>
        <source>Its location is no file.</source>
        <translation>Son emplacement n’est pas un fichier.</translation>
    </message>
    <message>
        <source>It could not be read: %1.</source>
        <translation>Il n’a pas pu être lu : %1.</translation>
    </message>
    <message>
        <source>It holds no dictionary at its top.</source>
        <translation>Il ne contient aucun dictionnaire à son sommet.</translation>
    </message>
    <message>
        <source>It is empty.</source>
        <translation>Il est vide.</translation>
    </message>
    <message>
        <source>It has no “Tracks” dictionary.</source>
        <translation>Il n’a pas de dictionnaire « Tracks ».</translation>
    </message>
    <message>
        <source>Its track “%1” is no dictionary.</source>
        <translation>Son morceau « %1 » n’est pas un dictionnaire.</translation>
    </message>
    <message>
        <source>“%1” is not a music library Platter can read.</source>
        <translation>« %1 » n’est pas une bibliothèque musicale que Platter sait lire.</translation>
    </message>
    <message>
        <source>Choose the library file your music application keeps or exports, such as “iTunes Music Library.xml”.</source>
        <translation>Choisissez le fichier de bibliothèque que votre application musicale tient ou exporte, comme « iTunes Music Library.xml ».</translation>
    </message>
    <message>
        <source>The playlist could not be exported.</source>
        <translation>La liste de lecture n’a pas pu être exportée.</translation>
    </message>
</context>
<context>
    <name>platter::SongFileLook</name>
    <message>
        <source>The file of this song is not on this computer.
Looked for: %1</source>
        <translation>Le fichier de ce morceau n&apos;est pas sur cet ordinateur.
Cherché ici&#xa0;: %1</translation>
    </message>
    <message>
        <source>This song has no file: it is a stream or a song kept in the cloud.</source>
        <translation>Ce morceau n&apos;a pas de fichier&#xa0;: c&apos;est un flux ou un morceau conservé dans le cloud.</translation>
    </message>
</context>
<context>
    <name>platter::SongTableModel</name>
    <message>
        <source>Time</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Année</translation>
    </message>
    <message>
        <source>Genre</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>Plays</source>
        <translation>Lectures</translation>
    </message>
    <message>
        <source>Last Played</source>
        <translation>Dernière lecture</translation>
    </message>
    <message>
        <source>Rating</source>
        <translation>Classement</translation>
    </message>
    <message>
        <source>Date Added</source>
        <translation>Date d’ajout</translation>
    </message>
    <message>
        <source>%1 of 5 stars</source>
        <translation>%1 étoiles sur 5</translation>
    </message>
    <message>
        <source>Whole album</source>
        <translation>Album entier</translation>
    </message>
    <message>
        <source>Disc %1 of %2</source>
        <translation>Disque %1 de %2</translation>
    </message>
    <message>
        <source>Song</source>
        <translation>Morceau</translation>
    </message>
    <message>
        <source>unit %1 of %2</source>
        <translation>unité %1 sur %2</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Play from here</source>
        <translation>Lire à partir d&apos;ici</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Artiste</translation>
    </message>
    <message>
        <source>Track</source>
        <translation>Piste</translation>
    </message>
</context>
<context>
    <name>platter::ViewController</name>
    <message>
        <source>Store links are off: their web panes cannot run for the root user.</source>
        <translation>Les liens du Store sont désactivés&#xa0;: leurs volets web ne peuvent pas s&apos;exécuter pour l&apos;utilisateur root.</translation>
    </message>
</context>
<context>
    <name>platter::ScrobblingPage</name>
    <message>
        <source>From your ListenBrainz settings page</source>
        <translation>Depuis votre page de réglages ListenBrainz</translation>
    </message>
    <message>
        <source>The official server</source>
        <translation>Le serveur officiel</translation>
    </message>
    <message>
        <source>The address of a ListenBrainz-compatible server; empty for the official one</source>
        <translation>L’adresse d’un serveur compatible ListenBrainz ; vide pour le serveur officiel</translation>
    </message>
    <message>
        <source>User token:</source>
        <translation>Jeton utilisateur :</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>Serveur :</translation>
    </message>
    <message>
        <source>Your API account&apos;s key</source>
        <translation>La clé de votre compte API</translation>
    </message>
    <message>
        <source>Its shared secret</source>
        <translation>Son secret partagé</translation>
    </message>
    <message>
        <source>API key:</source>
        <translation>Clé API :</translation>
    </message>
    <message>
        <source>Secret:</source>
        <translation>Secret :</translation>
    </message>
    <message>
        <source>Last.fm asks each user of a player like Platter for an API account of their own: create one at last.fm/api, then sign in.</source>
        <translation>Last.fm demande à chaque utilisateur d’un lecteur comme Platter son propre compte API : créez-en un sur last.fm/api, puis connectez-vous.</translation>
    </message>
    <message>
        <source>Platter sends each song you hear to the sites you set up here once it counts as played. Listens wait on this computer while a site cannot be reached.</source>
        <translation>Platter envoie chaque morceau écouté aux sites configurés ici dès qu’il compte comme joué. Les écoutes attendent sur cet ordinateur tant qu’un site est injoignable.</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Vérifier</translation>
    </message>
    <message>
        <source>Listens waiting: %1.</source>
        <translation>Écoutes en attente : %1.</translation>
    </message>
    <message>
        <source>Not sending: the account is not set up.</source>
        <translation>Aucun envoi : le compte n’est pas configuré.</translation>
    </message>
    <message>
        <source>Last accepted at %1.</source>
        <translation>Dernière acceptation le %1.</translation>
    </message>
    <message>
        <source>The site refused the account.</source>
        <translation>Le site a refusé le compte.</translation>
    </message>
    <message>
        <source>Not signed in.</source>
        <translation>Non connecté.</translation>
    </message>
    <message>
        <source>Signed in.</source>
        <translation>Connecté.</translation>
    </message>
    <message>
        <source>Signed in as %1.</source>
        <translation>Connecté en tant que %1.</translation>
    </message>
    <message>
        <source>Cancel Sign In</source>
        <translation>Annuler la connexion</translation>
    </message>
    <message>
        <source>Sign In Again…</source>
        <translation>Se reconnecter…</translation>
    </message>
    <message>
        <source>Sign In…</source>
        <translation>Se connecter…</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Vérification…</translation>
    </message>
    <message>
        <source>The account works.</source>
        <translation>Le compte fonctionne.</translation>
    </message>
    <message>
        <source>The account of %1 works.</source>
        <translation>Le compte de %1 fonctionne.</translation>
    </message>
    <message>
        <source>The site refused this token.</source>
        <translation>Le site a refusé ce jeton.</translation>
    </message>
    <message>
        <source>The site refused the account: sign in again.</source>
        <translation>Le site a refusé le compte : reconnectez-vous.</translation>
    </message>
    <message>
        <source>The site could not be reached; try again later.</source>
        <translation>Le site est injoignable ; réessayez plus tard.</translation>
    </message>
    <message>
        <source>Enter your user token first.</source>
        <translation>Saisissez d’abord votre jeton utilisateur.</translation>
    </message>
    <message>
        <source>Sign in first.</source>
        <translation>Connectez-vous d’abord.</translation>
    </message>
    <message>
        <source>Enter your API key and secret first.</source>
        <translation>Saisissez d’abord votre clé API et son secret.</translation>
    </message>
    <message>
        <source>Approve Platter in your browser; Platter waits for it.</source>
        <translation>Autorisez Platter dans votre navigateur ; Platter attend votre accord.</translation>
    </message>
    <message>
        <source>Signed in. Listens go to the site once you press OK.</source>
        <translation>Connecté. Les écoutes partent vers le site dès que vous appuyez sur OK.</translation>
    </message>
    <message>
        <source>The sign-in did not succeed; try again.</source>
        <translation>La connexion a échoué ; réessayez.</translation>
    </message>
</context>
</TS>
