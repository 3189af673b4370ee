import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import QtQuick.Window
import BrewBeacon

// The feedback form: kind, message, e-mail, screenshots, the result line and the two ways to send.
Window {
    id: root
    required property QtObject feedback
    title: qsTr("Send Feedback")
    color: colors.window
    Theme { id: colors }

    FileDialog {
        id: chooser
        fileMode: FileDialog.OpenFiles
        nameFilters: ["PNG or JPEG (*.png *.jpg *.jpeg)"]
        onAccepted: root.feedback.addAttachments(selectedFiles)
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        ScrollView {
            id: scroll
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentWidth: availableWidth

            ColumnLayout {
                width: scroll.availableWidth - 48
                x: 24
                spacing: 14

                RowLayout {
                    Layout.topMargin: 24
                    spacing: 12
                    SymbolIcon { symbol: "bubble.left.and.bubble.right.fill"; size: 30 }
                    ColumnLayout {
                        spacing: 2
                        Label { text: qsTr("Help improve BrewBeacon"); font.pixelSize: 20; font.weight: Font.DemiBold }
                        Label { text: qsTr("Share what happened. You can review every detail before it is sent."); font.pixelSize: 12; color: colors.secondary; wrapMode: Text.Wrap }
                    }
                }
                RowLayout {
                    visible: root.feedback.context !== ""
                    SymbolIcon { symbol: "arrow.turn.down.right" }
                    Label { objectName: "feedbackContext"; text: root.feedback.context; color: colors.secondary }
                }

                Label { text: qsTr("Feedback type"); font.weight: Font.Medium }
                RowLayout {
                    spacing: 0
                    Repeater {
                        model: [
                            { title: qsTr("Problem"), symbol: "exclamationmark.bubble" },
                            { title: qsTr("Idea"), symbol: "lightbulb" },
                            { title: qsTr("Praise"), symbol: "heart" }
                        ]
                        delegate: Button {
                            required property var modelData
                            required property int index
                            objectName: "kind" + index
                            text: modelData.title
                            icon.source: Symbols.icon(modelData.symbol)
                            icon.cache: false
                            checkable: true
                            checked: root.feedback.kind === index
                            onClicked: root.feedback.kind = index
                        }
                    }
                }

                RowLayout {
                    Label { objectName: "messageTitle"; text: root.feedback.messageTitle; font.weight: Font.Medium }
                    Label { text: qsTr("Required"); font.pixelSize: 11; color: colors.secondary }
                    Item { Layout.fillWidth: true }
                    Label {
                        objectName: "wordCounter"
                        text: root.feedback.wordCounter
                        font.pixelSize: 11
                        color: root.feedback.wordLimitNotice !== "" ? colors.red : colors.secondary
                    }
                }
                // The message box scrolls by itself and follows the caret.
                ScrollView {
                    id: messageScroll
                    Layout.fillWidth: true
                    Layout.preferredHeight: 140
                    background: Rectangle { radius: 6; color: colors.card; border.color: colors.border }
                    TextArea {
                        objectName: "messageField"
                        wrapMode: TextEdit.Wrap
                        placeholderText: root.feedback.messagePrompt
                        text: root.feedback.message
                        onTextChanged: if (text !== root.feedback.message) root.feedback.message = text
                        focus: true
                        background: null
                    }
                }
                Label {
                    objectName: "wordLimitNotice"
                    visible: text !== ""
                    Layout.fillWidth: true
                    wrapMode: Text.Wrap
                    text: root.feedback.wordLimitNotice
                    font.pixelSize: 12
                    color: colors.red
                }

                Label { text: qsTr("Your email"); font.weight: Font.Medium }
                TextField {
                    objectName: "emailField"
                    Layout.fillWidth: true
                    placeholderText: "name@example.com"
                    text: root.feedback.email
                    onTextChanged: if (text !== root.feedback.email) root.feedback.email = text
                    onAccepted: sendButton.clicked()
                }
                Label { text: qsTr("Only used if we need to follow up about this report."); font.pixelSize: 11; color: colors.secondary }

                RowLayout {
                    Label { text: qsTr("Attachments"); font.weight: Font.Medium }
                    Item { Layout.fillWidth: true }
                    Label { objectName: "attachmentCounter"; text: root.feedback.attachmentCounter; font.pixelSize: 11; color: colors.secondary }
                }
                Label { text: qsTr("Check screenshots for private information before attaching them."); font.pixelSize: 11; color: colors.secondary }
                Rectangle {
                    objectName: "dropZone"
                    Layout.fillWidth: true
                    implicitHeight: 90
                    radius: 10
                    color: drop.containsDrag ? Qt.rgba(0.18, 0.49, 0.88, 0.12) : colors.card
                    border.color: drop.containsDrag ? colors.accent : colors.border
                    border.width: drop.containsDrag ? 2 : 1
                    ColumnLayout {
                        anchors.centerIn: parent
                        spacing: 4
                        Label {
                            Layout.alignment: Qt.AlignHCenter
                            text: drop.containsDrag ? qsTr("Drop images here") : qsTr("Drag images here or choose files")
                            font.weight: Font.Medium
                        }
                        Label {
                            Layout.alignment: Qt.AlignHCenter
                            text: qsTr("PNG or JPEG · 5 images · 2 MB each · 3 MB total")
                            font.pixelSize: 11
                            color: colors.secondary
                        }
                    }
                    DropArea {
                        id: drop
                        anchors.fill: parent
                        onDropped: event => {
                            root.feedback.addAttachments(event.urls);
                            event.accept();
                        }
                    }
                }
                RowLayout {
                    spacing: 10
                    Button {
                        text: qsTr("Add Images…")
                        icon.source: Symbols.icon("photo.on.rectangle.angled")
                        icon.cache: false
                        onClicked: chooser.open()
                    }
                    Repeater {
                        model: root.feedback.attachments
                        delegate: Item {
                            required property var modelData
                            implicitWidth: 64
                            implicitHeight: 64
                            Image { anchors.fill: parent; source: modelData.thumbnail; fillMode: Image.PreserveAspectCrop; cache: false }
                            ToolButton {
                                anchors { top: parent.top; right: parent.right; margins: -6 }
                                icon.source: Symbols.icon("xmark.circle.fill")
                                icon.cache: false
                                Accessible.name: modelData.removeLabel
                                ToolTip.text: modelData.removeLabel
                                ToolTip.visible: hovered
                                onClicked: root.feedback.removeAttachment(modelData.id)
                            }
                        }
                    }
                }

                RowLayout {
                    visible: root.feedback.hasResult
                    SymbolIcon { symbol: root.feedback.resultIsSuccess ? "checkmark.circle.fill" : "exclamationmark.triangle.fill" }
                    Label {
                        objectName: "resultLine"
                        Layout.fillWidth: true
                        wrapMode: Text.Wrap
                        text: root.feedback.resultText
                        color: root.feedback.resultIsSuccess ? colors.green : colors.red
                        font.pixelSize: 12
                        font.weight: Font.Medium
                    }
                }
            }
        }
        // Always in view, whatever the form's length.
        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 24
            Layout.topMargin: 12
            Button {
                text: qsTr("Send one email instead")
                ToolTip.text: qsTr("Open this feedback in your default email app")
                ToolTip.visible: hovered
                onClicked: root.feedback.openEmailFallback()
            }
            Item { Layout.fillWidth: true }
            Button {
                id: sendButton
                objectName: "sendButton"
                highlighted: true
                text: root.feedback.sendButtonTitle
                enabled: root.feedback.canSend
                onClicked: root.feedback.send()
            }
        }
    }
}
