<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Error message for the quillon tool</name>
    <message>
        <source>%1: Not enought memory.
</source>
        <comment>%1 is the file name of the tool involved</comment>
        <translation>%1 : mémoire insuffisante.
</translation>
    </message>
    <message>
        <source>%1: Unable to open file &quot;%2&quot;.
</source>
        <comment>%1 is the file name of the tool involved, %2 a name of file</comment>
        <translation>%1 : impossible d'ouvrir le fichier « %2 ».
</translation>
    </message>
    <message>
        <source>%1: Unable to write file &quot;%2&quot;.
</source>
        <comment>%1 is the file name of the tool involved, %2 a name of file</comment>
        <translation>%1 : impossible d'écrire le fichier « %2 ».
</translation>
    </message>
    <message>
        <source>%1: Unable to read file &quot;%2&quot;.
</source>
        <comment>%1 is the file name of the tool involved, %2 a name of file</comment>
        <translation>%1 : impossible de lire le fichier « %2 ».
</translation>
    </message>
    <message>
        <source>%1: Unable to write the requirement echo to standard output.
</source>
        <comment>%1 is the file name of the tool involved</comment>
        <translation>%1 : impossible d'écrire l'écho des exigences sur la sortie standard.
</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is an input file of this run; it is not overwritten.
</source>
        <comment>%1 is the file name of the tool involved, %2 a name of file</comment>
        <translation>%1 : « %2 » est un fichier d'entrée de cette exécution ; il n'est pas écrasé.
</translation>
    </message>
    <message>
        <source>%1: The log file &quot;%2&quot; is also a report of this run.
</source>
        <comment>%1 is the file name of the tool involved, %2 a name of file</comment>
        <translation>%1 : le fichier journal « %2 » est aussi un rapport de cette exécution.
</translation>
    </message>
    <message>
        <source>%1: Unable to rename &quot;%2&quot; over the report; the new report is kept under that name.
</source>
        <comment>%1 is the file name of the tool involved, %2 a name of file</comment>
        <translation>%1 : impossible de renommer « %2 » en rapport ; le nouveau rapport est gardé sous ce nom.
</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; may be another run's report being written and cannot be locked; it is left in place.
</source>
        <comment>%1 is the file name of the tool involved, %2 a name of file</comment>
        <translation>%1 : « %2 » est peut-être le rapport qu'une autre exécution écrit, et il ne peut pas être verrouillé ; il est laissé en place.
</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; was replaced by another file while the report was written; the report is not put in place.
</source>
        <comment>%1 is the file name of the tool involved, %2 a name of file</comment>
        <translation>%1 : « %2 » a été remplacé par un autre fichier pendant l'écriture du rapport ; le rapport n'est pas mis en place.
</translation>
    </message>
    <message>
        <source>%1: Files cannot be locked beside &quot;%2&quot;; reports are written there without a lock.
</source>
        <comment>%1 is the file name of the tool involved, %2 a name of file</comment>
        <translation>%1 : les fichiers ne peuvent pas être verrouillés à côté de « %2 » ; les rapports y sont écrits sans verrou.
</translation>
    </message>
    <message>
        <source>%1: Unknown error.</source>
        <comment>%1 is the file name of the tool involved</comment>
        <translation>%1 : erreur inconnue.</translation>
    </message>
</context>
<context>
    <name>quillon</name>
    <message>
        <source>
%1 %2 %3
%4 %5
</source>
        <translation>
%1 %2 %3
%4 %5
</translation>
    </message>
</context>
<context>
    <name>ZeltIdent</name>
    <message>
        <source>Quillon</source>
        <translation>Quillon</translation>
    </message>
    <message>
        <source>C and Ada Test Requirement Report</source>
        <translation>Rapport des exigences de test C et Ada</translation>
    </message>
    <message>
        <source>Licensed under the Apache License, Version 2.0.</source>
        <translation>Distribué sous la licence Apache, version 2.0.</translation>
    </message>
    <message>
        <source>Provided AS IS, without warranties or conditions of any kind.</source>
        <translation>Fourni « EN L'ÉTAT », sans garantie ni condition d'aucune sorte.</translation>
    </message>
</context>
<context>
    <name>Command line message for the quillox tool</name>
    <message>
        <source>Usage: (%1) [-o&lt;outfile&gt;] [-h&lt;headerfile&gt;] [-l&lt;logfile&gt;] filename.rod
</source>
        <comment>%1 is the tool name</comment>
        <translation>Usage : (%1) [-o&lt;fichier_sortie&gt;] [-h&lt;fichier_entete&gt;] [-l&lt;fichier_journal&gt;] fichier.rod
</translation>
    </message>
</context>
<context>
    <name>Option list of the quillon tool</name>
    <message>
        <source>Options (each value is glued to its letter, as in -hheader.txt):
  -o&lt;outfile&gt;     write the report to &lt;outfile&gt; instead of the input's name
                  with .rod replaced by .req.xml
  -h&lt;headerfile&gt;  add the header section read from &lt;headerfile&gt;
  -l&lt;logfile&gt;     append one line naming each report written to &lt;logfile&gt;
  -v              echo every requirement on standard output
  -e              element mode: every element of a test gets its own verdict
  --help          print this help and exit
  --version       print the name and version and exit
</source>
        <comment>Printed by --help after the usage line; keep the option names and the alignment</comment>
        <translation>Options (chaque valeur est collée à sa lettre, comme dans -hentete.txt) :
  -o&lt;fichier_sortie&gt;   écrit le rapport dans &lt;fichier_sortie&gt; au lieu du nom
                        de l'entrée où .rod est remplacé par .req.xml
  -h&lt;fichier_entete&gt;   ajoute la section d'en-tête lue dans &lt;fichier_entete&gt;
  -l&lt;fichier_journal&gt;  ajoute à &lt;fichier_journal&gt; une ligne par rapport écrit
  -v                    affiche chaque exigence sur la sortie standard
  -e                    mode élément : chaque élément d'un test a son verdict
  --help                affiche cette aide et termine
  --version             affiche le nom et la version et termine
</translation>
    </message>
</context>
<context>
    <name>Error message for the kvwrod api</name>
    <message>
        <source>%1: Unable to open file &quot;%2&quot;.</source>
        <comment>%1 is the file name of the api involved, %2 a name of file</comment>
        <translation>%1 : impossible d'ouvrir le fichier « %2 ».</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot;, line %3: Invalid token '%4'.</source>
        <comment>%1 is the file name of the api involved,%2 a name of file,  %3 a number of line, %4 a name of variable</comment>
        <translation>%1 : « %2 », ligne %3 : élément invalide '%4'.</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot;, line %3: Assertion failed.</source>
        <comment>%1 is the file name of the api involved, %2 a filename, %3 a number of line</comment>
        <translation>%1 : « %2 », ligne %3 : assertion non vérifiée.</translation>
    </message>
    <message>
        <source>%1: File &quot;%2&quot; not recognized.</source>
        <comment>%1 is the file name of the api involved, %2 a filename</comment>
        <translation>%1 : fichier « %2 » non reconnu.</translation>
    </message>
    <message>
        <source>%1: Error, invalid version for &quot;%2&quot;.</source>
        <comment>%1 is the file name of the api involved, %2 a filename</comment>
        <translation>%1 : erreur, version invalide pour « %2 ».</translation>
    </message>
    <message>
        <source>%1: Warning, invalid version for &quot;%2&quot;.</source>
        <comment>%1 is the file name of the api involved, %2 a filename</comment>
        <translation>%1 : attention, version invalide pour « %2 ».</translation>
    </message>
    <message>
        <source>%1: Unknown error.</source>
        <comment>%1 is the file name of the api involved</comment>
        <translation>%1 : erreur inconnue.</translation>
    </message>
    <message>
        <source>Duplicate service name %1: line %2. first declaration at line %3.</source>
        <comment>%1 is the service name, %2 &amp; %3 are line number in PTU</comment>
        <translation>Nom de service en double %1 : ligne %2. première déclaration à la ligne %3.</translation>
    </message>
    <message>
        <source>Test %1 has no verdict: line %2. the file ends inside it.</source>
        <comment>%1 is the test name, %2 is the line of the test in the ROD file</comment>
        <translation>Test %1 sans verdict : ligne %2. le fichier s'arrête à l'intérieur.</translation>
    </message>
    <message>
        <source>%1: *** SERVICE EXECUTION ABORTED ***</source>
        <comment>%1 is the cause of the failure in the service</comment>
        <translation>%1 : *** EXÉCUTION DU SERVICE INTERROMPUE ***</translation>
    </message>
    <message>
        <source>%1: *** TEST EXECUTION ABORTED ***</source>
        <comment>%1 is the cause of the failure in the test</comment>
        <translation>%1 : *** EXÉCUTION DU TEST INTERROMPUE ***</translation>
    </message>
</context>
<context>
    <name>Warning  message for the kvwrod api</name>
    <message>
        <source>Warning</source>
        <translation>Attention</translation>
    </message>
</context>
<context>
    <name>Message for the quillon-campaign tool</name>
    <message>
        <source>the document element is &lt;%1&gt;, not &lt;RUN&gt;</source>
        <comment>%1 is the name of an XML element</comment>
        <translation>l'élément racine est &lt;%1&gt;, et non &lt;RUN&gt;</translation>
    </message>
    <message>
        <source>%1 (line %2, column %3)</source>
        <comment>%1 is the XML parser's own message, %2 and %3 where it stopped</comment>
        <translation>%1 (ligne %2, colonne %3)</translation>
    </message>
    <message>
        <source>not JSON: %1</source>
        <comment>%1 is the JSON parser's own message</comment>
        <translation>pas du JSON : %1</translation>
    </message>
    <message>
        <source>not the JSON summary of quillon-campaign, version 1 or 2</source>
        <translation>pas le résumé JSON de quillon-campaign, version 1 ou 2</translation>
    </message>
    <message>
        <source>%1: cannot read: %2</source>
        <comment>%1 is a file name, %2 the system's reason</comment>
        <translation>%1 : lecture impossible : %2</translation>
    </message>
    <message>
        <source>%1: not a requirement report: %2</source>
        <comment>%1 is a file name, %2 the reason</comment>
        <translation>%1 : pas un rapport d'exigences : %2</translation>
    </message>
    <message>
        <source>%1: no such file or folder</source>
        <comment>%1 is a file name</comment>
        <translation>%1 : aucun fichier ni dossier de ce nom</translation>
    </message>
    <message>
        <source>%1: no report: %2 does not exist</source>
        <comment>%1 is the name of a ROD file, %2 the name of its report</comment>
        <translation>%1 : pas de rapport : %2 n'existe pas</translation>
    </message>
    <message>
        <source>%1: no report: %2 is older than the ROD file</source>
        <comment>%1 is the name of a ROD file, %2 the name of its report</comment>
        <translation>%1 : pas de rapport : %2 est plus ancien que le fichier ROD</translation>
    </message>
    <message>
        <source>%1: no report (*.req.xml) in this folder</source>
        <comment>%1 is a folder name</comment>
        <translation>%1 : aucun rapport (*.req.xml) dans ce dossier</translation>
    </message>
    <message>
        <source>%1: the log lists no report</source>
        <comment>%1 is the name of a log file</comment>
        <translation>%1 : le journal ne cite aucun rapport</translation>
    </message>
    <message>
        <source>%1: not a usable baseline: %2</source>
        <comment>%1 is a file name, %2 the reason</comment>
        <translation>%1 : référence inutilisable : %2</translation>
    </message>
    <message>
        <source>%1: cannot write: %2</source>
        <comment>%1 is a file name, %2 the system's reason</comment>
        <translation>%1 : écriture impossible : %2</translation>
    </message>
    <message>
        <source>quillon-campaign: %1 (see --help)
</source>
        <comment>%1 says what is wrong</comment>
        <translation>quillon-campaign : %1 (voir --help)
</translation>
    </message>
    <message>
        <source>quillon-campaign: --fail-on takes none, ko or regression, not &quot;%1&quot;
</source>
        <comment>%1 is the value given; none, ko and regression are not translated</comment>
        <translation>quillon-campaign : --fail-on attend none, ko ou regression, et non « %1 »
</translation>
    </message>
    <message>
        <source>quillon-campaign: --jobs takes a number from 1 to 256, not &quot;%1&quot;
</source>
        <comment>%1 is the value given</comment>
        <translation>quillon-campaign : --jobs attend un nombre de 1 à 256, et non « %1 »
</translation>
    </message>
    <message>
        <source>quillon-campaign: no input given (see --help)
</source>
        <translation>quillon-campaign : aucune entrée donnée (voir --help)
</translation>
    </message>
    <message>
        <source>Usage: %1 [OPTION]... INPUT...
Gathers requirement reports into one campaign: one verdict per requirement
with the places that verify it, the failing tests, and the changes since an
earlier run.

Inputs: report files (*.xml), folders (every *.req.xml below them), and ROD
files (each stands for the report quillon writes for it).

  --log FILE           the reports written, as a quillon -l log lists them
  --requirements FILE  the requirement IDs to verify, one per line or the
                       first column of a CSV file
  --baseline FILE      an earlier --json output to compare with
  --history DB         record the campaign in DB (an SQLite file or a
                       postgresql:// URL), its previous one the baseline
  --label TEXT         the campaign's label in the history (a revision)
  --stream NAME        the history's stream (branch, board); default
                       &quot;default&quot;
  --html FILE          write the campaign page
  --pages DIR          render each report's page into DIR (by default
                       beside the campaign page)
  --csv FILE           write the requirement matrix as CSV
  --junit FILE         write one JUnit file for the whole campaign
  --json FILE          write the campaign as JSON (the next baseline)
  --fail-on WHAT       what fails the exit status: none, ko (the default)
                       or regression
  --jobs N             read reports with N threads (default: one per core)
  --quiet              print nothing on standard output (by default the
                       verdict, counts and what is KO)
  --help               show this help and exit
  --version            show the version and exit

%1 history DB --help tells how to query the history.

Exit status: 0 all OK; 1 campaign KO or a listed requirement not verified;
2 a regression against the baseline; 3 an input could not be used;
4 a wrong command line; 5 an output could not be written, or the history
database could not be reached or written.
</source>
        <comment>%1 is the program name; option names and values are not translated</comment>
        <translation>Usage : %1 [OPTION]... ENTRÉE...
Rassemble des rapports d'exigences en une campagne : un verdict par exigence
avec les endroits qui la vérifient, les tests en échec, et les changements
depuis une exécution antérieure.

Entrées : fichiers de rapport (*.xml), dossiers (tous les *.req.xml qu'ils
contiennent) et fichiers ROD (chacun vaut pour le rapport que quillon en tire).

  --log FICHIER           les rapports écrits que cite un journal -l de quillon
  --requirements FICHIER  les identifiants d'exigences à vérifier, un par ligne
                          ou en première colonne d'un fichier CSV
  --baseline FICHIER      une sortie --json antérieure à comparer
  --history BASE          enregistrer la campagne dans BASE (un fichier SQLite
                          ou une URL postgresql://), la précédente y servant
                          de référence
  --label TEXTE           l'étiquette de la campagne dans l'historique (une
                          révision)
  --stream NOM            le flux de l'historique (branche, carte) ; par
                          défaut « default »
  --html FICHIER          écrire la page de la campagne
  --pages DOSSIER         rendre la page de chaque rapport dans DOSSIER (par
                          défaut à côté de la page de la campagne)
  --csv FICHIER           écrire la matrice des exigences en CSV
  --junit FICHIER         écrire un fichier JUnit pour toute la campagne
  --json FICHIER          écrire la campagne en JSON (la prochaine référence)
  --fail-on QUOI          ce qui fait échouer le code de sortie : none, ko
                          (par défaut) ou regression
  --jobs N                lire les rapports avec N fils (par défaut : un par cœur)
  --quiet                 ne rien écrire sur la sortie standard (par défaut le
                          verdict, les comptes et ce qui est KO)
  --help                  afficher cette aide et quitter
  --version               afficher la version et quitter

%1 history BASE --help explique comment interroger l'historique.

Code de sortie : 0 tout est OK ; 1 campagne KO ou exigence listée non vérifiée ;
2 une régression par rapport à la référence ; 3 une entrée inutilisable ;
4 une ligne de commande erronée ; 5 une sortie impossible à écrire, ou la base
d'historique injoignable ou impossible à écrire.
</translation>
    </message>
    <message>
        <source>quillon-campaign %1
</source>
        <comment>%1 is the version number</comment>
        <translation>quillon-campaign %1
</translation>
    </message>
    <message>
        <source>Campaign %1: %2 reports, %3 tests (%4 OK, %5 KO), %6 requirements (%7 OK, %8 KO, %9 not verified)
</source>
        <comment>%1 is OK or KO, the others are counts</comment>
        <translation>Campagne %1 : %2 rapports, %3 tests (%4 OK, %5 KO), %6 exigences (%7 OK, %8 KO, %9 non vérifiées)
</translation>
    </message>
    <message>
        <source>Since the baseline: tests %1 regressed, %2 fixed, %3 appeared, %4 disappeared; requirements %5 regressed, %6 fixed, %7 appeared, %8 disappeared
</source>
        <comment>all placeholders are counts</comment>
        <translation>Depuis la référence : tests %1 en régression, %2 corrigés, %3 apparus, %4 disparus ; exigences %5 en régression, %6 corrigées, %7 apparues, %8 disparues
</translation>
    </message>
    <message>
        <source>Regression: test %1 / %2 / %3
</source>
        <comment>%1 is a report name, %2 a service name, %3 a test name</comment>
        <translation>Régression : test %1 / %2 / %3
</translation>
    </message>
    <message>
        <source>Regression: requirement %1
</source>
        <comment>%1 is a requirement ID</comment>
        <translation>Régression : exigence %1
</translation>
    </message>
    <message>
        <source>the report has a document type declaration, which quillon never writes</source>
        <translation>le rapport a une déclaration de type de document, ce que quillon n'écrit jamais</translation>
    </message>
    <message>
        <source>%1: cannot list this folder: %2</source>
        <comment>%1 is a folder name, %2 the system's reason</comment>
        <translation>%1 : impossible de lister ce dossier : %2</translation>
    </message>
    <message>
        <source>%1: the file ends inside test %2 (line %3), which has no verdict: the run was cut short</source>
        <comment>%1 is the name of a ROD file, %2 a test name, %3 a line number</comment>
        <translation>%1 : le fichier s'arrête dans le test %2 (ligne %3), qui n'a pas de verdict : l'exécution a été interrompue</translation>
    </message>
    <message>
        <source>%1: the requirement list names no requirement</source>
        <comment>%1 is a file name</comment>
        <translation>%1 : la liste d'exigences n'en cite aucune</translation>
    </message>
    <message>
        <source>quillon-campaign: the output %1 would replace the input %2
</source>
        <comment>%1 and %2 are file names</comment>
        <translation>quillon-campaign : la sortie %1 remplacerait l'entrée %2
</translation>
    </message>
    <message>
        <source>quillon-campaign: the outputs %1 and %2 are the same file
</source>
        <comment>%1 and %2 are file names</comment>
        <translation>quillon-campaign : les sorties %1 et %2 sont le même fichier
</translation>
    </message>
    <message>
        <source>Regression: run %1
</source>
        <comment>%1 is a report name</comment>
        <translation>Régression : exécution %1
</translation>
    </message>
    <message>
        <source>KO requirement %1: %2
</source>
        <comment>%1 is a requirement ID, %2 the first place where it is KO</comment>
        <translation>Exigence KO %1 : %2
</translation>
    </message>
    <message>
        <source>Not verified: %1
</source>
        <comment>%1 is a requirement ID</comment>
        <translation>Non vérifiée : %1
</translation>
    </message>
    <message>
        <source>KO test: %1 / %2 / %3
</source>
        <comment>%1 is a report name, %2 a service name, %3 a test name</comment>
        <translation>Test KO : %1 / %2 / %3
</translation>
    </message>
    <message>
        <source>KO run: %1 (service %2 is KO while none of its tests is)
</source>
        <comment>%1 is a report name, %2 a service name</comment>
        <translation>Exécution KO : %1 (le service %2 est KO sans qu'aucun de ses tests le soit)
</translation>
    </message>
    <message>
        <source>KO run: %1 (the result file's own verdict; no test or service is KO)
</source>
        <comment>%1 is a report name</comment>
        <translation>Exécution KO : %1 (verdict propre du fichier de résultats ; aucun test ni service n'est KO)
</translation>
    </message>
    <message>
        <source>... and %1 more
</source>
        <comment>%1 is a count</comment>
        <translation>... et %1 de plus
</translation>
    </message>
    <message>
        <source>  because: %1
</source>
        <comment>%1 is why a test failed, as its report says (its KO element and requirement)</comment>
        <translation>  parce que : %1
</translation>
    </message>
    <message>
        <source>requirement %1</source>
        <comment>%1 is a requirement ID</comment>
        <translation>exigence %1</translation>
    </message>
    <message>
        <source>test %1 / %2 / %3</source>
        <comment>%1 is a report name, %2 a service name, %3 a test name</comment>
        <translation>test %1 / %2 / %3</translation>
    </message>
    <message>
        <source>#%1 (%2, label &quot;%3&quot;)</source>
        <comment>%1 is a campaign number, %2 its time, %3 its label</comment>
        <translation>#%1 (%2, étiquette « %3 »)</translation>
    </message>
    <message>
        <source>not verified</source>
        <translation>non vérifiée</translation>
    </message>
    <message>
        <source>absent</source>
        <translation>absent</translation>
    </message>
    <message>
        <source>%1: not a quillon-campaign history: %2</source>
        <comment>%1 is a file name or URL, %2 the reason</comment>
        <translation>%1 : pas un historique de quillon-campaign : %2</translation>
    </message>
    <message>
        <source>%1: the history has schema version %2, newer than this program's %3</source>
        <comment>%1 is a file name or URL, %2 and %3 version numbers</comment>
        <translation>%1 : l'historique a un schéma en version %2, plus récent que celui de ce programme (%3)</translation>
    </message>
    <message>
        <source>%1: cannot use the history database: %2</source>
        <comment>%1 is a URL, %2 the server's or the library's reason</comment>
        <translation>%1 : base d'historique inutilisable : %2</translation>
    </message>
    <message>
        <source>%1: the campaign was not recorded: %2</source>
        <comment>%1 is a file name or URL, %2 the database's reason</comment>
        <translation>%1 : la campagne n'a pas été enregistrée : %2</translation>
    </message>
    <message>
        <source>it holds other tables</source>
        <comment>said of a database</comment>
        <translation>elle contient d'autres tables</translation>
    </message>
    <message>
        <source>History: campaign %1 of stream &quot;%2&quot;: %3 newly failing, %4 still failing, %5 flaky, %6 fixed
</source>
        <comment>%1 is a campaign, %2 a stream name, the others counts</comment>
        <translation>Historique : campagne %1 du flux « %2 » : %3 en échec depuis peu, %4 toujours en échec, %5 instables, %6 corrigés
</translation>
    </message>
    <message>
        <source>Newly failing: %1
</source>
        <comment>%1 is a requirement or test</comment>
        <translation>En échec depuis peu : %1
</translation>
    </message>
    <message>
        <source>Still failing: %1, KO for %2 campaigns, since %3
</source>
        <comment>%1 is a requirement or test, %2 a count, %3 a campaign</comment>
        <translation>Toujours en échec : %1, KO depuis %2 campagnes, depuis %3
</translation>
    </message>
    <message>
        <source>Flaky: %1, %2 flips in the last %3 campaigns: %4
</source>
        <comment>%1 is a requirement or test, %2 and %3 counts, %4 the verdicts as letters</comment>
        <translation>Instable : %1, %2 bascules dans les %3 dernières campagnes : %4
</translation>
    </message>
    <message>
        <source>Fixed: %1
</source>
        <comment>%1 is a requirement or test</comment>
        <translation>Corrigé : %1
</translation>
    </message>
    <message>
        <source>Usage: %1 history DB [options]
Shows the campaigns recorded in DB (an SQLite file or a postgresql:// URL).

  --stream NAME             only the campaigns of that stream (--keep,
                            --requirement and --test: default &quot;default&quot;)
  --requirement ID          that requirement's verdict in each campaign
  --test REPORT/SERVICE/TEST  that test's verdict in each campaign
  --json                    write JSON instead of text
  --keep N                  remove all but the last N campaigns of the stream
  --help                    show this help and exit

Exit status: 0 done; 1 no such requirement or test; 3 DB is no history;
4 a wrong command line; 5 the database could not be used.
</source>
        <comment>%1 is the program name; option names and values are not translated</comment>
        <translation>Usage : %1 history BASE [options]
Montre les campagnes enregistrées dans BASE (un fichier SQLite ou une URL
postgresql://).

  --stream NOM              seulement les campagnes de ce flux (--keep,
                            --requirement et --test : par défaut « default »)
  --requirement ID          le verdict de cette exigence à chaque campagne
  --test RAPPORT/SERVICE/TEST  le verdict de ce test à chaque campagne
  --json                    écrire du JSON au lieu de texte
  --keep N                  supprimer toutes les campagnes du flux sauf les N
                            dernières
  --help                    afficher cette aide et quitter

Code de sortie : 0 fait ; 1 exigence ou test inconnu ; 3 BASE n'est pas un
historique ; 4 une ligne de commande erronée ; 5 base inutilisable.
</translation>
    </message>
    <message>
        <source>quillon-campaign history: %1 (see --help)
</source>
        <comment>%1 says what is wrong</comment>
        <translation>quillon-campaign history : %1 (voir --help)
</translation>
    </message>
    <message>
        <source>give one database</source>
        <translation>donner une seule base</translation>
    </message>
    <message>
        <source>--requirement, --test and --keep go alone</source>
        <comment>option names are not translated</comment>
        <translation>--requirement, --test et --keep s'emploient seuls</translation>
    </message>
    <message>
        <source>--keep needs a number of campaigns from 1, not &quot;%1&quot;</source>
        <comment>%1 is the value given</comment>
        <translation>--keep attend un nombre de campagnes à partir de 1, et non « %1 »</translation>
    </message>
    <message>
        <source>%1: not in the history of this stream
</source>
        <comment>%1 is a requirement ID or a test</comment>
        <translation>%1 : absent de l'historique de ce flux
</translation>
    </message>
    <message>
        <source>#%1  %2  %3  %4  %5  reports %6 (%7 KO), tests %8 (%9 KO), requirements %10 (%11 OK, %12 KO, %13 not verified)
</source>
        <comment>%1 is a campaign number, %2 its time, %3 its stream, %4 its label, %5 OK or KO, the others counts</comment>
        <translation>#%1  %2  %3  %4  %5  rapports %6 (%7 KO), tests %8 (%9 KO), exigences %10 (%11 OK, %12 KO, %13 non vérifiées)
</translation>
    </message>
    <message>
        <source>%1: %2 now, %3 flips in the last %4 campaigns (%5)%6
</source>
        <comment>%1 is a requirement or test, %2 its verdict, %3 and %4 counts, %5 the verdicts as letters, %6 since when it is KO, or nothing</comment>
        <translation>%1 : %2 maintenant, %3 bascules dans les %4 dernières campagnes (%5)%6
</translation>
    </message>
    <message>
        <source>, KO for %1 campaigns since %2</source>
        <comment>%1 a count, %2 a campaign</comment>
        <translation>, KO depuis %1 campagnes, depuis %2</translation>
    </message>
    <message>
        <source>#%1  %2  %3  %4
</source>
        <comment>%1 is a campaign number, %2 its time, %3 its label, %4 the verdict</comment>
        <translation>#%1  %2  %3  %4
</translation>
    </message>
    <message>
        <source>Removed %1 campaigns of stream &quot;%2&quot;, kept the last %3
</source>
        <comment>%1 and %3 are counts, %2 a stream name</comment>
        <translation>%1 campagnes du flux « %2 » supprimées, les %3 dernières gardées
</translation>
    </message>
</context>
</TS>
