// Embeds the program's video player. The old player was a Flash movie; Flash
// is gone, so write() places an HTML5 video element that plays the file named
// by the variable CuPlayerFile. Parameters and the other variables are kept
// for the callers' sake and have no effect on the video.
//
//   var so = new SWFObject(playerPath, "ply", "600", "410", "9", "#000000");
//   so.addVariable("CuPlayerFile", "file:///.../mp4/a.mp4");
//   so.write("CuPlayer");

function SWFObject(path, id, width, height, version, bgcolor) {
    this.path = path;
    this.id = id;
    this.width = width;
    this.height = height;
    this.version = version;
    this.bgcolor = bgcolor;
    this.params = {};
    this.variables = {};
}

SWFObject.prototype.addParam = function (name, value) {
    this.params[name] = value;
};

SWFObject.prototype.addVariable = function (name, value) {
    this.variables[name] = value;
};

SWFObject.prototype.getVariable = function (name) {
    return this.variables.hasOwnProperty(name) ? this.variables[name] : undefined;
};

// Replaces the content of the element elementId with the video; false when
// there is no such element or no file to play.
SWFObject.prototype.write = function (elementId) {
    var target = document.getElementById(elementId);
    var file = this.getVariable("CuPlayerFile");
    if (!target || !file)
        return false;
    var video = document.createElement("video");
    if (this.id)
        video.id = this.id;
    video.setAttribute("controls", "controls");
    video.setAttribute("autoplay", "autoplay");
    video.setAttribute("width", String(parseInt(this.width, 10) || 0));
    video.setAttribute("height", String(parseInt(this.height, 10) || 0));
    video.setAttribute("src", file);
    if (this.bgcolor)
        video.style.backgroundColor = this.bgcolor;
    video.style.display = "block";
    while (target.firstChild)
        target.removeChild(target.firstChild);
    target.appendChild(video);
    return true;
};
