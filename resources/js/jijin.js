// Home page functions: the start page's tiles call into the home form, and
// hovering a tile swaps its picture.

function zhenti() {
    myjstest.zhentiJS();
}

function moni() {
    myjstest.moniJS();
}

function cuoti() {
    myjstest.cuotiJS();
}

function qingchu() {
    myjstest.qingchuJS();
}

function soti() {
    myjstest.sotiJS();
}

function soQuestion() {
    myjstest.soQuestionJS();
}

function shoucang() {
    myjstest.shoucangJS();
}

// The 每日一练 card: a short practice of today's questions.
function meiriyilian() {
    myjstest.dailyPractice();
}

// The subject link beside the start page's title.
function switchSubject() {
    myjstest.switchSubject();
}

// A button of the start page's action row.
function homeAction(key) {
    myjstest.homeAction(key);
}

// Images whose pictures are swapped, with the picture each had before.
var MM_swapped = [];
// Keeps preloaded pictures alive so that the first hover shows at once.
var MM_preloaded = [];

// The element with the given id, else the first one with that name, else the
// image of that name; null when there is none.
function MM_findObj(name, doc) {
    doc = doc || document;
    var found = doc.getElementById(name);
    if (!found) {
        var named = doc.getElementsByName(name);
        found = named.length ? named[0] : null;
    }
    if (!found && doc.images)
        found = doc.images[name] || null;
    return found;
}

// Loads pictures ahead of their first use; takes any number of sources.
function MM_preloadImages() {
    for (var i = 0; i < arguments.length; ++i) {
        var picture = new Image();
        picture.src = arguments[i];
        MM_preloaded.push(picture);
    }
}

// Takes groups of (image name, unused, new source); a trailing odd argument
// is ignored. Each image keeps its first original picture until restored.
function MM_swapImage() {
    for (var i = 0; i + 2 < arguments.length; i += 3) {
        var image = MM_findObj(arguments[i]);
        if (!image)
            continue;
        var known = false;
        for (var k = 0; k < MM_swapped.length; ++k) {
            if (MM_swapped[k].image === image)
                known = true;
        }
        if (!known)
            MM_swapped.push({ image: image, src: image.getAttribute("src") });
        image.setAttribute("src", arguments[i + 2]);
    }
}

// Puts back every picture swapped since the last restore.
function MM_swapImgRestore() {
    for (var k = 0; k < MM_swapped.length; ++k)
        MM_swapped[k].image.setAttribute("src", MM_swapped[k].src);
    MM_swapped = [];
}
