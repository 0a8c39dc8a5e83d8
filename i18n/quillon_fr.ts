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
</TS>
