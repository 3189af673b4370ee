<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AppLocalizedText</name>
    <message>
        <source>Needs attention</source>
        <translation>Attention requise</translation>
    </message>
</context>
</TS>
