// Page script library: the page side of the bridge object "myjstest".
// Inline handlers of the generated pages call these functions; the program
// calls some of them by evaluating script in the page. Element ids and values
// arrive as strings.

// The score or information popup currently shown, and the video popup.
var pop = null;
var popmp4 = null;
var so = null;

// The first element with the given id, as a jQuery selection (empty when there
// is none). getElementById keeps ids with selector characters harmless.
function elementById(id) {
    return $(document.getElementById(String(id)));
}

// The elements of a tag whose name attribute equals name, in document order.
function elementsNamed(tag, name) {
    if (name === undefined || name === null)
        return $();
    return $(tag).filter(function () {
        return this.getAttribute("name") === name;
    });
}

// Set once the paper is handed in: the page then shows the answers and takes
// no new ones.
var answersLocked = false;

// Review: buttons and text boxes keep what they show.
function lockAnswers() {
    answersLocked = true;
    $("input[type=text], textarea").not(".note_text").attr("readonly", "readonly");
}

// While typedAnswers gathers the blanks, settiankong puts them here instead
// of reporting them.
var typedBlanks = null;

// What the page's text boxes hold, for the program to record before the page
// is left (a move, a jump, the hand-in, closing): the answer of every fill-in
// question that has text or reported before, and the text of every essay box,
// as JSON {"blanks": {id: joined}, "essays": [[id, box, text]]}. The program
// reads it from the call's value, so nothing depends on when reports arrive.
function typedAnswers() {
    var answers = { blanks: {}, essays: [] };
    if (answersLocked)
        return JSON.stringify(answers);
    typedBlanks = answers.blanks;
    try {
        $("input[type=text]").each(function () {
            if (typeof this.onblur === "function")
                this.onblur();
        });
    } finally {
        typedBlanks = null;
    }
    $("textarea").not(".note_text").each(function () {
        answers.essays.push([this.id, essayBoxes(this.id).index(this), this.value]);
    });
    return JSON.stringify(answers);
}

// Shared steps of the questions with one chosen button: single choice,
// true/false and the self-assessment of an essay.
function chooseOneButton(id, hid, vs) {
    if (answersLocked)
        return;
    elementById(hid).attr("value", vs);
    var clicked = elementById(id);
    elementsNamed("input", clicked.attr("name")).removeClass("button_02");
    clicked.addClass("button_02");
    myjstest.setAsQuestionJs(hid, vs);
}

function setdanxuan(id, hid, vs) {
    chooseOneButton(id, hid, vs);
}

function setpanduan(id, hid, vs) {
    chooseOneButton(id, hid, vs);
}

function setwenda(id, hid, vs) {
    chooseOneButton(id, hid, vs);
}

// Multiple choice: the hidden value lists the chosen letters in click order.
function setduoxuan(id, hid, vs) {
    if (answersLocked)
        return;
    var hidden = elementById(hid);
    var current = hidden.attr("value") || "";
    var letter = String(vs);
    var at = current.indexOf(letter);
    var next;
    if (at < 0) {
        next = current + letter;
        hidden.attr("value", next);
        elementById(id).addClass("button_04");
    } else {
        next = current.substring(0, at) + current.substring(at + letter.length);
        hidden.attr("value", next);
        elementById(id).removeClass("button_04");
    }
    myjstest.setAsQuestionJs(hid, next);
}

// The blanks of the fill-in question whose box has this id: the inputs that
// share the box's name, in document order (just the box when it has none).
function tiankongBlanks(box) {
    var name = box.getAttribute("name");
    if (name === null)
        return $(box);
    return elementsNamed("input", name);
}

// Attribute on a question's first box holding the text it last reported.
var tiankongReportedAttr = "data-reported";

// The joined form of a fill-in answer: the blanks' texts separated by "|",
// with "\" and "|" inside a text written "\\" and "\|", so that a blank keeps
// any character typed into it.
function joinBlanks(texts) {
    var escaped = [];
    for (var i = 0; i < texts.length; ++i)
        escaped.push(String(texts[i]).replace(/\\/g, "\\\\").replace(/\|/g, "\\|"));
    return escaped.join("|");
}

// The blanks' texts of a joined answer. A "\" before any character other
// than "\" and "|" stands for itself, as in answers stored before the escape.
function splitBlanks(joined) {
    var parts = [];
    var current = "";
    for (var i = 0; i < joined.length; ++i) {
        var c = joined.charAt(i);
        var next = joined.charAt(i + 1);
        if (c === "\\" && (next === "\\" || next === "|")) {
            current += next;
            ++i;
        } else if (c === "|") {
            parts.push(current);
            current = "";
        } else {
            current += c;
        }
    }
    parts.push(current);
    return parts;
}

// Fill-in blank left (onBlur): reports the texts of all blanks of the
// question in the joined form under the box's id whenever they differ from
// what the question last reported. Untouched empty blanks report nothing.
function settiankong(id, hid, vs) {
    if (answersLocked)
        return;
    var box = document.getElementById(String(id));
    if (!box)
        return;
    var texts = [];
    var anyText = false;
    tiankongBlanks(box).each(function () {
        var text = this.value || "";
        texts.push(text);
        if (text !== "")
            anyText = true;
    });
    var joined = joinBlanks(texts);
    var last = box.getAttribute(tiankongReportedAttr);
    if (typedBlanks !== null) {
        if (anyText || last !== null)
            typedBlanks[String(id)] = joined;
        return;
    }
    if (last === null ? !anyText : last === joined)
        return;
    box.setAttribute(tiankongReportedAttr, joined);
    myjstest.setAsQuestionJs(id, joined);
}

// Writes a stored fill-in answer (joined form) back into the blanks of a
// rebuilt page and takes it as the question's last report.
function setTiankongAnswer(id, joined) {
    var box = document.getElementById(String(id));
    if (!box)
        return;
    var text = (joined === undefined || joined === null) ? "" : String(joined);
    var parts = splitBlanks(text);
    tiankongBlanks(box).each(function (i) {
        this.value = i < parts.length ? parts[i] : "";
    });
    // An old answer with a lone "\" reads the same in the escaped form.
    box.setAttribute(tiankongReportedAttr, joinBlanks(parts));
}

// The text boxes of an essay: the textareas that carry its answer field's id,
// in page order.
function essayBoxes(hid) {
    return $("textarea").filter(function () {
        return this.id === hid;
    });
}

// Every change of an essay box or a blank is reported at once, so that the
// program always holds the text typed so far.
document.addEventListener("input", function (event) {
    var box = event.target;
    if (!box || typeof myjstest === "undefined")
        return;
    if (isNoteBox(box))
        noteEdited(box);
    else if (box.tagName === "TEXTAREA" && typeof myjstest.setEssayTextJs === "function")
        myjstest.setEssayTextJs(box.id, essayBoxes(box.id).index(box), box.value);
    else if (box.tagName === "INPUT" && box.type === "text" && typeof box.onblur === "function")
        box.onblur();
}, false);

// A question's note: its button opens and closes the box beside the
// question; the button is marked while the box holds more than blanks, and
// every change is reported for the program to store.
function isNoteBox(box) {
    return box.tagName === "TEXTAREA" && $(box).hasClass("note_text");
}

function toggleNote(button) {
    var panel = $(button).closest(".note_panel");
    panel.toggleClass("open");
    if (panel.hasClass("open"))
        panel.find(".note_text").focus();
}

function noteEdited(box) {
    var panel = $(box).closest(".note_panel");
    panel.find(".note_button").toggleClass("noted", $.trim(box.value) !== "");
    if (typeof myjstest.noteChangedJs === "function")
        myjstest.noteChangedJs(panel.attr("data-question"), box.value);
}

// Card entry of a question with a note (on 1) or without one.
function setCardNote(id, on) {
    elementById(id).toggleClass("noted", String(on) === "1");
}

// True while the focus is in a box that takes typed text.
function typingInTextBox() {
    var e = document.activeElement;
    if (!e)
        return false;
    var tag = (e.tagName || "").toLowerCase();
    return tag === "textarea" || e.isContentEditable
        || (tag === "input" && /^(text|search|number|email|url|tel|password)$/i.test(e.type || "text"));
}

// Left and Right move between questions wherever the page is scrolled; in a
// blank or an essay box they move the caret, as someone editing expects.
document.addEventListener("keydown", function (event) {
    var step = event.keyCode === 37 ? -1 : event.keyCode === 39 ? 1 : 0;
    if (!step || event.altKey || event.ctrlKey || event.metaKey || event.shiftKey || typingInTextBox()
        || typeof myjstest === "undefined" || typeof myjstest.arrowKeyJs !== "function")
        return;
    event.preventDefault();
    myjstest.arrowKeyJs(step);
}, true);

// Writes a stored essay text back into box number index of a rebuilt page.
function setWendaText(hid, index, text) {
    var box = essayBoxes(String(hid)).get(Number(index));
    if (box)
        box.value = String(text);
}

// Shows or hides an explanation block and marks its button.
function show_hide(id, divid) {
    var block = elementById(divid);
    if (block.css("display") === "none") {
        block.css("display", "block");
        elementById(id).addClass("answer_selected");
    } else {
        block.css("display", "none");
        elementById(id).removeClass("answer_selected");
    }
}

// Favourite buttons waiting for the program's answer, by question id.
var favouriteButtons = {};

// Favourite toggle: the program answers through scAnswered.
function sc(id, tid, n, div_id) {
    favouriteButtons[String(tid)] = String(id);
    myjstest.shoucang(tid, elementById(id).hasClass("but_showcang") ? 1 : 0);
}

// The program's answer to a favourite toggle: n 1 made question tid a
// favourite, 0 cleared it. The button keeps its look when nothing was stored.
function scAnswered(tid, n, stored) {
    var id = favouriteButtons[String(tid)];
    delete favouriteButtons[String(tid)];
    if (id === undefined || !stored)
        return;
    elementById(id).attr("class", String(n) === "1" ? "but_hidecang" : "but_showcang");
}

// An answer card entry was clicked.
function div_focus(id, sequence) {
    myjstest.setLocationJs(id, sequence);
}

// Plays a video of the mp4 folder in a popup. path is the application
// directory as a file URL ending in "/".
function PlayMp4(path, pname) {
    if (popmp4)
        popmp4.close();
    popmp4 = new Popup({ contentType: 2, isReloadOnClose: false, width: 600, height: 410 });
    popmp4.setContent("contentHtml", "<div class=\"video\" id=\"CuPlayer\"></div>");
    popmp4.setContent("title", "视频讲解");
    popmp4.build();
    popmp4.show();
    so = new SWFObject(path + "js/CuPlayerMiniV4.swf", "ply", "600", "410", "9", "#000000");
    so.addParam("allowfullscreen", "true");
    so.addParam("allowscriptaccess", "always");
    so.addParam("wmode", "opaque");
    so.addParam("quality", "high");
    so.addParam("salign", "lt");
    so.addVariable("CuPlayerSetFile", path + "js/CuPlayerSetFile.xml");
    so.addVariable("CuPlayerImage", path + "js/start.png");
    so.addVariable("CuPlayerWidth", "600");
    so.addVariable("CuPlayerHeight", "410");
    so.addVariable("CuPlayerAutoPlay", "yes");
    so.addVariable("CuPlayerLogo", path + "js/logo.png");
    so.addVariable("CuPlayerFile", path + "mp4/" + pname);
    so.addVariable("CuPlayerPosition", "top-right");
    so.write("CuPlayer");
}

function againQuestion() {
    myjstest.againQuestion();
}

function showAnswerForm() {
    if (pop)
        pop.close();
    myjstest.showAnswerForm();
}

function showkaojuang(kjid) {
    myjstest.openkaojuang(kjid);
}

function showErrorPaper(pid) {
    myjstest.showErrorPaper(pid);
}

function showshoucang(tid) {
    myjstest.showshoucang(tid);
}

// A row of the home lists opens its entry wherever it is clicked, not only on
// the name: the row's name keeps the handler, a click elsewhere runs it. A
// click on a link of the row (删除) does only what the link says.
document.addEventListener('click', function (event) {
    var row = event.target;
    while (row && row.nodeName !== 'LI') {
        if (row.nodeName === 'A')
            return;
        row = row.parentNode;
    }
    if (!row || !row.parentNode || !row.parentNode.parentNode
        || (' ' + row.parentNode.parentNode.className + ' ').indexOf(' con_box2 ') < 0)
        return;
    var name = row.querySelector('span[onclick]');
    if (name && !name.contains(event.target))
        name.onclick();
}, false);

// Choice of an optional section.
function setXZBF(id) {
    elementsNamed("input", "xz_bufen").attr("class", "but_a");
    elementById(id).addClass("but_a_x");
    myjstest.jsXZBF(id);
}

function del_question(id) {
    myjstest.del_question(id);
}

// Card button after marking: 0 right, 1 wrong, 2 not answered. Called for
// every entry at the hand-in, so without wrapping the element each time.
var centMarks = { "0": "button_right", "1": "button_wrong", "2": "button_no_select" };
function showCent(id, vs) {
    var mark = centMarks[String(vs)];
    var entry = document.getElementById(String(id));
    if (mark && entry)
        entry.className = "button_01 " + mark + (/(^|\s)noted(\s|$)/.test(entry.className) ? " noted" : "");
}

// Card button of an answered question.
function setSubject(id) {
    elementById(id).attr("class", "button_01 button_select");
}

// Card button flag: state 0 clears the flag (back to answered when isanser
// is 1), any other state flags the question.
function setSubject_biaoji(id, state, isanser) {
    var button = elementById(id);
    if (String(state) === "0") {
        button.removeClass("button_color");
        if (String(isanser) === "1")
            button.addClass("button_select");
    } else {
        button.removeClass("button_select");
        button.addClass("button_color");
    }
}

// Card entry flag: n 0 clears it, n 2 drops the flag class only, any other n
// sets it.
function biaoji(id, tid, n, div_id) {
    var entry = elementById(id);
    var how = String(n);
    if (how === "0") {
        entry.removeClass("wico");
        entry.addClass("xico");
    } else if (how === "2") {
        entry.removeClass("wico");
    } else {
        entry.removeClass("xico");
        entry.addClass("wico");
    }
}

// Result mark beside a question: 0 right, anything else wrong; a question left
// unanswered (2) is also told apart, so the page does not call it answered wrongly.
function p_wrong_right(id, w_r) {
    var state = String(w_r);
    elementById(id).attr("class", state === "0" ? "right" : (state === "2" ? "wrong unanswered" : "wrong"));
}

// Shows every explanation block that shares the name of element id.
function showJieXi_idToname(id) {
    var name = elementById(id).attr("name");
    elementsNamed("div", name).css("display", "block");
    elementsNamed("input", "but_show_hine").addClass("answer_selected");
}

// Three-state answer card: current, answered, not answered.
function setCardEntryState(id, state) {
    var entry = elementById(id);
    entry.removeClass("zico yico wico");
    entry.addClass(state);
}

// Scrolls the card so that the entry is in view.
function scrollCardEntryIntoView(entry) {
    if (!entry)
        return;
    var box = entry.getBoundingClientRect();
    if (box.top < 0)
        window.scrollBy(0, box.top - 8);
    else if (box.bottom > window.innerHeight)
        window.scrollBy(0, box.bottom - window.innerHeight + 8);
}

function setCurrQuestionHS(id) {
    setCardEntryState(id, "zico");
    scrollCardEntryIntoView(document.getElementById(String(id)));
}

// The current card entry stays in view when the card is resized (the window
// maximised or restored).
window.addEventListener("resize", function () {
    scrollCardEntryIntoView(document.querySelector(".a_list a.zico"));
});

function setCurrQuestionAnswerHS(id) {
    setCardEntryState(id, "yico");
}

function setCurrQuestionNoAnswerHS(id) {
    setCardEntryState(id, "wico");
}

// Shows an HTML text in a popup with a title, replacing the one shown before.
function showMessagePopup(strHtml, width, height, title) {
    if (pop)
        pop.close();
    pop = new Popup({ contentType: 2, isReloadOnClose: false, width: width, height: height });
    pop.setContent("contentHtml", strHtml);
    pop.setContent("title", title);
    pop.build();
    pop.show();
    fitPopupToContent(pop);
}

// Grows a popup to what it holds, within the page's height, so that the
// buttons at its end show without scrolling.
function fitPopupToContent(popup) {
    var content = popup.dialog ? $(popup.dialog).find(".popup_content")[0] : null;
    if (!content)
        return;
    var chrome = popup.dialog.offsetHeight - content.clientHeight;
    var room = window.innerHeight - chrome - 16;
    var wanted = Math.min(content.scrollHeight, room);
    if (wanted > content.clientHeight)
        content.style.height = wanted + "px";
    popup.dialog.style.marginTop = -Math.round(popup.dialog.offsetHeight / 2) + "px";
}

function messageboxScore(strHtml) {
    showMessagePopup(strHtml, 560, 260, "答题情况");
}

function messageboxScoreBig(strHtml) {
    showMessagePopup(strHtml, 220, 80, "信息提示");
}

// Search result page. The program puts a search's count line and first block
// of hits into the text box with soShow and appends further blocks with
// soAppend; "more" says whether blocks still wait. Scrolling near the end of
// the hits, or the link below them, asks the program for the next block.
function soShow(line, blockHtml, more) {
    var box = document.querySelector("body > div.text_box");
    if (!box)
        return false;
    box.innerHTML = line + "<div id=\"so_hits\">" + blockHtml + "</div>"
        + "<p id=\"so_more\"><a href=\"javascript:soMore()\">显示更多试题</a></p>";
    window.scrollTo(0, 0);
    soSetMore(more);
    window.onscroll = soScrolled;
    return true;
}

function soAppend(blockHtml, more) {
    var hits = document.getElementById("so_hits");
    if (!hits)
        return false;
    hits.insertAdjacentHTML("beforeend", blockHtml);
    soSetMore(more);
    return true;
}

// Replaces the count line above the hits: the count found so far by a later
// one, or by the final count.
function soSetCount(line, more) {
    var count = document.getElementById("so_count");
    if (!count)
        return false;
    count.insertAdjacentHTML("beforebegin", line);
    count.parentNode.removeChild(count);
    soSetMore(more);
    return true;
}

function soSetMore(more) {
    document.getElementById("so_more").style.display = more ? "block" : "none";
}

// Whether the end of the hits lies within a screen below the view.
function soNearEnd() {
    var hits = document.getElementById("so_hits");
    return !!hits && hits.getBoundingClientRect().bottom <= 2 * window.innerHeight;
}

function soScrolled() {
    var link = document.getElementById("so_more");
    if (link && link.style.display != "none" && soNearEnd())
        myjstest.moreResults();
}

function soMore() {
    myjstest.moreResults();
}

// Names for the controls that show no text of their own, as a screen reader
// reads them: option buttons ("选项 A：..."), the self-assessment buttons, the
// answer card's entries ("第 3 题"), blanks and essay boxes. A name given by
// the page itself stays.
function labelControls() {
    function name(element, text) {
        text = String(text || "").replace(/[\s\u00a0]+/g, " ").trim();
        if (text && !element.getAttribute("aria-label"))
            element.setAttribute("aria-label", text);
    }
    var labelTexts = {};
    var labels = document.getElementsByTagName("label");
    for (var l = 0; l < labels.length; ++l)
        if (labels[l].htmlFor)
            labelTexts[labels[l].htmlFor] = labels[l].textContent.replace(/[\s\u00a0]+/g, " ").trim();
    var options = document.querySelectorAll("input.button_01, input.button_03");
    for (var o = 0; o < options.length; ++o) {
        var option = options[o];
        var letter = (option.getAttribute("value") || "").replace(/[.\s\u00a0]+$/, "");
        if (letter) {
            var text = labelTexts[option.id] ? "：" + labelTexts[option.id] : "";
            name(option, "选项 " + letter + text);
        } else {
            var next = option.nextSibling;
            name(option, "自评：" + (next && next.nodeType === 3 ? next.nodeValue : "选择"));
        }
    }
    var favourites = document.querySelectorAll("input.but_showcang");
    for (var f = 0; f < favourites.length; ++f)
        name(favourites[f], "收藏本题");
    var entries = document.querySelectorAll(".a_list a");
    for (var e = 0; e < entries.length; ++e)
        name(entries[e], "第 " + entries[e].textContent + " 题");
    var boxes = document.querySelectorAll("input[type=text], textarea");
    var counts = {};
    for (var b = 0; b < boxes.length; ++b) {
        var box = boxes[b];
        var question = box.id || "";
        counts[question] = (counts[question] || 0) + 1;
        name(box, box.getAttribute("title") || box.getAttribute("placeholder")
             || (box.tagName === "TEXTAREA" ? "作答框 " : "填空 ") + counts[question]);
    }
}
// Pages that receive more content later (search blocks, review) are named again.
document.addEventListener("DOMContentLoaded", function () {
    labelControls();
    if (window.MutationObserver)
        new MutationObserver(labelControls).observe(document.body, {childList: true, subtree: true});
});
