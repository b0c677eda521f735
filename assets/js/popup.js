// A centred dialog over a dimmed page, with a title bar and a close button.
//
//   var p = new Popup({ contentType: 2, isReloadOnClose: false, width: 560, height: 260 });
//   p.setContent("contentHtml", "<p>...</p>");
//   p.setContent("title", "...");
//   p.build();
//   p.show();
//
// contentType 2 (HTML) is the only kind of content: contentHtml is shown as
// markup. width and height are those of the content area in pixels. With
// isReloadOnClose the page reloads after close().

var POPUP_TITLE_HEIGHT = 30;
var popupLayerCount = 0;

function Popup(options) {
    options = options || {};
    this.isReloadOnClose = !!options.isReloadOnClose;
    this.width = Math.max(0, parseInt(options.width, 10) || 300);
    this.height = Math.max(0, parseInt(options.height, 10) || 200);
    this.contentHtml = "";
    this.title = "";
    this.overlay = null;
    this.dialog = null;
}

Popup.prototype.setContent = function (key, value) {
    var text = value === undefined || value === null ? "" : String(value);
    if (key === "contentHtml")
        this.contentHtml = text;
    else if (key === "title")
        this.title = text;
};

// Creates the dialog's elements, hidden, at the end of the page's body.
Popup.prototype.build = function () {
    if (this.dialog)
        this.removeElements();
    var self = this;
    var layer = 10000 + 2 * (popupLayerCount++);

    var overlay = document.createElement("div");
    overlay.className = "popup_overlay";
    overlay.style.cssText = "display:none; position:fixed; left:0; top:0; right:0; bottom:0;"
        + " background:rgba(0,0,0,0.35); z-index:" + layer + ";";

    var dialog = document.createElement("div");
    dialog.className = "popup_dialog";
    dialog.style.cssText = "display:none; position:fixed; left:50%; top:50%;"
        + " width:" + this.width + "px;"
        + " margin-left:" + (-Math.round(this.width / 2)) + "px;"
        + " margin-top:" + (-Math.round((this.height + POPUP_TITLE_HEIGHT) / 2)) + "px;"
        + " background:#ffffff; border:1px solid #5d87b7; box-shadow:0 4px 16px rgba(0,0,0,0.4);"
        + " z-index:" + (layer + 1) + ";";

    var bar = document.createElement("div");
    bar.className = "popup_title";
    bar.style.cssText = "position:relative; height:" + POPUP_TITLE_HEIGHT + "px; line-height:"
        + POPUP_TITLE_HEIGHT + "px; padding:0 36px 0 10px; background:#2f6db5; color:#ffffff;"
        + " font-weight:bold; overflow:hidden; white-space:nowrap;";
    var caption = document.createElement("span");
    caption.className = "popup_caption";
    caption.appendChild(document.createTextNode(this.title));
    bar.appendChild(caption);

    var closer = document.createElement("a");
    closer.className = "popup_close";
    closer.href = "javascript:void(0)";
    closer.title = "关闭";
    closer.style.cssText = "position:absolute; right:0; top:0; width:32px; text-align:center;"
        + " color:#ffffff; text-decoration:none; font-size:20px; cursor:pointer;";
    closer.appendChild(document.createTextNode("\u00d7"));
    closer.onclick = function () {
        self.close();
        return false;
    };
    bar.appendChild(closer);

    var content = document.createElement("div");
    content.className = "popup_content";
    content.style.cssText = "width:" + this.width + "px; height:" + this.height + "px; overflow:auto;";
    content.innerHTML = this.contentHtml;

    dialog.appendChild(bar);
    dialog.appendChild(content);
    document.body.appendChild(overlay);
    document.body.appendChild(dialog);
    this.overlay = overlay;
    this.dialog = dialog;
};

Popup.prototype.show = function () {
    if (!this.dialog)
        this.build();
    this.overlay.style.display = "block";
    this.dialog.style.display = "block";
};

Popup.prototype.removeElements = function () {
    if (this.overlay && this.overlay.parentNode)
        this.overlay.parentNode.removeChild(this.overlay);
    if (this.dialog && this.dialog.parentNode)
        this.dialog.parentNode.removeChild(this.dialog);
    this.overlay = null;
    this.dialog = null;
};

// Removes the dialog (a video in it stops with it).
Popup.prototype.close = function () {
    var wasShown = this.dialog !== null;
    this.removeElements();
    if (wasShown && this.isReloadOnClose)
        window.location.reload();
};
