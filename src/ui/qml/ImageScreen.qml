import QtQuick
import WLReader.Kit

// The picture viewer: the picture in the frame its controller gives, zoomed
// within the controller's limits by pinching, by the wheel with Ctrl and by
// double-clicking, each about the point under the pointer.
Item {
    id: screen
    property var controller
    readonly property var scrollView: controller ? controller.scrollView : null
    readonly property var picture: scrollView && scrollView.subviews.length > 0 ? scrollView.subviews[0] : null
    readonly property real zoom: scrollView ? scrollView.zoomScale : 1
    clip: true

    Rectangle {
        anchors.fill: parent
        color: "black"
    }

    Flickable {
        id: flick
        objectName: "pictureFlickable"
        anchors.fill: parent
        readonly property rect frame: screen.picture ? screen.picture.frame : Qt.rect(0, 0, 0, 0)
        contentWidth: Math.max(width, (frame.x + frame.width) * screen.zoom)
        contentHeight: Math.max(height, (frame.y + frame.height) * screen.zoom)
        boundsBehavior: Flickable.StopAtBounds

        Image {
            objectName: "picture"
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
