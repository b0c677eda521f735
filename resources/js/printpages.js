// Lays a printed document out as sheets of one paper page each, the
// document's title above and "第 N 页 / 共 M 页" below: the web engines print
// no page margin boxes, so the page draws its own. width and height are the
// printed area of a page in the engine's CSS pixels; blocks are the body's
// children (and those of the answer key, which starts a page of its own), and
// a block never splits: one that does not fit goes to the next sheet, with a
// heading just before it. Returns the number of pages.
function tesseraPaginate(width, height) {
    var body = document.body;
    var title = document.title;
    var blocks = [];
    var children = Array.prototype.slice.call(body.children);
    var i;
    for (i = 0; i < children.length; i++) {
        var child = children[i];
        if (child.tagName === 'SCRIPT' || child.tagName === 'STYLE' || child.tagName === 'LINK')
            continue;
        if (/(^|\s)pq_key(\s|$)/.test(child.className)) {
            var parts = Array.prototype.slice.call(child.children);
            for (var k = 0; k < parts.length; k++)
                blocks.push({element: parts[k], inKey: true, newPage: k === 0});
        } else {
            blocks.push({element: child, inKey: false, newPage: false});
        }
        body.removeChild(child);
    }
    body.style.width = width + 'px';
    body.style.margin = '0';
    body.style.padding = '0';

    var sheets = [];
    function newSheet() {
        var sheet = document.createElement('div');
        sheet.className = 'print_sheet';
        sheet.style.width = width + 'px';
        sheet.style.height = height + 'px';
        var head = document.createElement('div');
        head.className = 'print_head';
        head.appendChild(document.createTextNode(title));
        var content = document.createElement('div');
        content.className = 'print_body';
        var foot = document.createElement('div');
        foot.className = 'print_foot';
        foot.appendChild(document.createTextNode('第 1 页 / 共 1 页'));
        sheet.appendChild(head);
        sheet.appendChild(content);
        sheet.appendChild(foot);
        body.appendChild(sheet);
        var entry = {sheet: sheet, content: content, foot: foot, items: [], pages: 1,
                     room: height - head.offsetHeight - 8 - foot.offsetHeight - 12};
        sheets.push(entry);
        return entry;
    }
    function place(entry, block) {
        var target = entry.content;
        if (block.inKey) {
            var last = target.lastChild;
            if (!last || last.className !== 'pq_key') {
                last = document.createElement('div');
                last.className = 'pq_key';
                target.appendChild(last);
            }
            target = last;
        }
        target.appendChild(block.element);
        entry.items.push(block);
    }
    function isHeading(block) {
        return block.element.tagName === 'H1' || block.element.tagName === 'H2';
    }

    var current = newSheet();
    for (i = 0; i < blocks.length; i++) {
        var block = blocks[i];
        if (block.newPage && current.items.length > 0)
            current = newSheet();
        place(current, block);
        if (current.content.offsetHeight <= current.room || current.items.length < 2)
            continue;
        var moving = [current.items.pop()];
        if (current.items.length > 1 && isHeading(current.items[current.items.length - 1]))
            moving.unshift(current.items.pop());
        current = newSheet();
        for (var m = 0; m < moving.length; m++)
            place(current, moving[m]);
    }
    // A block taller than a page keeps all of it: its sheet runs over as many
    // pages as it needs and ends where a page's sheet ends.
    var pageCount = 0;
    for (i = 0; i < sheets.length; i++) {
        var entry = sheets[i];
        var needed = entry.content.offsetHeight;
        if (needed > entry.room) {
            entry.pages = Math.ceil((needed - entry.room) / height) + 1;
            entry.sheet.style.height = (height * entry.pages) + 'px';
        }
        pageCount += entry.pages;
    }
    var page = 0;
    for (i = 0; i < sheets.length; i++) {
        page += sheets[i].pages;
        sheets[i].foot.firstChild.nodeValue = '第 ' + page + ' 页 / 共 ' + pageCount + ' 页';
    }
    sheets[sheets.length - 1].sheet.className += ' print_last';
    return pageCount;
}
