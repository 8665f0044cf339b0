import QtQuick
import WLReader.Kit

// The picture viewer: the picture in the frame its controller gives, zoomed
// within the controller's limits by pinching, by the wheel with Ctrl and by
// double-clicking, each about the point under the pointer. From the
// keyboard: plus and minus zoom, Space or 0 toggles the zoom, the arrows
// scroll; Escape goes back (the controller's key).
FocusScope {
    id: screen
    property var controller
    readonly property var scrollView: controller ? controller.scrollView : null
    readonly property var picture: scrollView && scrollView.subviews.length > 0 ? scrollView.subviews[0] : null
    readonly property real zoom: scrollView ? scrollView.zoomScale : 1
    // The file name of the picture.
    readonly property string pictureName: {
        const image = picture ? String(picture.image) : ""
        const name = image.substring(image.lastIndexOf("/") + 1)
        try {
            return decodeURIComponent(name)
        } catch (e) {
            return name
        }
    }
    clip: true

    Rectangle {
        anchors.fill: parent
        color: "black"
    }

    Flickable {
        id: flick
        objectName: "pictureFlickable"
        anchors.fill: parent
        focus: true
        activeFocusOnTab: true
        Keys.onPressed: function(event) {
            const centre = Qt.point(contentX + width / 2, contentY + height / 2)
            const step = 40
            switch (event.key) {
            case Qt.Key_Plus:
            case Qt.Key_Equal:
                screen.zoomAbout(centre, () => screen.scrollView.setZoomScale(screen.zoom * 1.25))
                break
            case Qt.Key_Minus:
                screen.zoomAbout(centre, () => screen.scrollView.setZoomScale(screen.zoom / 1.25))
                break
            case Qt.Key_0:
            case Qt.Key_Space:
                screen.zoomAbout(centre, () => screen.scrollView.toggleZoom())
                break
            case Qt.Key_Left:
                contentX = Math.max(0, contentX - step)
                break
            case Qt.Key_Right:
                contentX = Math.max(0, Math.min(contentWidth - width, contentX + step))
                break
            case Qt.Key_Up:
                contentY = Math.max(0, contentY - step)
                break
            case Qt.Key_Down:
                contentY = Math.max(0, Math.min(contentHeight - height, contentY + step))
                break
            default:
                return
            }
            event.accepted = true
        }
        readonly property rect frame: screen.picture ? screen.picture.frame : Qt.rect(0, 0, 0, 0)
        contentWidth: Math.max(width, (frame.x + frame.width) * screen.zoom)
        contentHeight: Math.max(height, (frame.y + frame.height) * screen.zoom)
        boundsBehavior: Flickable.StopAtBounds

        Image {
            objectName: "picture"
            Accessible.role: Accessible.Graphic
            // The picture's name as the page gave it: plain text.
            Accessible.name: qsTrId("Accessibility.Picture").arg(screen.pictureName)
            x: flick.frame.x * screen.zoom
            y: flick.frame.y * screen.zoom
            width: flick.frame.width * screen.zoom
            height: flick.frame.height * screen.zoom
            source: screen.picture ? screen.picture.image : ""
            fillMode: Image.PreserveAspectFit
            asynchronous: true
            smooth: true
            mipmap: true
        }

        // On the content, where the pointer is before the flick takes it;
        // positions come in content coordinates.
        PinchHandler {
            target: null
            property real startZoom: 1
            onActiveChanged: startZoom = screen.zoom
            onActiveScaleChanged: screen.zoomAbout(centroid.position, () => screen.scrollView.setZoomScale(startZoom * activeScale))
        }
        WheelHandler {
            target: null
            acceptedModifiers: Qt.ControlModifier
            onWheel: function(event) {
                const steps = event.angleDelta.y / 120
                screen.zoomAbout(point.position, () => screen.scrollView.setZoomScale(screen.zoom * Math.pow(1.25, steps)))
            }
        }
        TapHandler {
            onDoubleTapped: function(eventPoint) {
                screen.zoomAbout(eventPoint.position, () => screen.scrollView.toggleZoom())
            }
        }
    }

    // Keeps the point under the pointer (in content coordinates) where it
    // is on screen while the scale changes.
    function zoomAbout(point, change) {
        if (!scrollView)
            return
        const before = zoom
        const onScreenX = point.x - flick.contentX
        const onScreenY = point.y - flick.contentY
        change()
        const after = scrollView.zoomScale
        if (after === before)
            return
        const x = point.x * after / before - onScreenX
        const y = point.y * after / before - onScreenY
        flick.contentX = Math.max(0, Math.min(x, flick.contentWidth - flick.width))
        flick.contentY = Math.max(0, Math.min(y, flick.contentHeight - flick.height))
    }

    FocusRing {
        shown: flick.activeFocus
        anchors.margins: 2
    }

    function showOffset() {
        if (!scrollView)
            return
        flick.contentX = scrollView.contentOffset.x
        flick.contentY = scrollView.contentOffset.y
    }
    Connections {
        target: screen.scrollView
        function onSubviewsChanged() { screen.showOffset() }
        function onContentChanged() { screen.showOffset() }
    }
    Component.onCompleted: showOffset()
}
