// The upload page: lists the current folder through GET /list and changes it through the
// server's POST routes. Every path sent is relative to the shared folder.
(function () {
  "use strict";

  var currentPath = "/";
  var busy = 0;

  function $(id) { return document.getElementById(id); }

  function joinPath(folder, name) {
    return (folder.endsWith("/") ? folder : folder + "/") + name;
  }

  function formatSize(bytes) {
    var units = ["bytes", "KB", "MB", "GB", "TB"];
    var value = bytes;
    var unit = 0;
    while (value >= 1000 && unit < units.length - 1) { value /= 1000; unit += 1; }
    return (unit === 0 ? value : value.toFixed(1)) + " " + units[unit];
  }

  function showMessage(text, kind) {
    var message = $("message");
    message.textContent = text;
    message.className = "message" + (kind === "info" ? " info" : "");
    message.hidden = !text;
  }

  // The server answers failures with a small HTML page; its heading says what went wrong.
  function errorText(xhr) {
    var match = /<h1>([\s\S]*?)<\/h1>/.exec(xhr.responseText || "");
    if (!match) return "The request failed (" + xhr.status + ").";
    var scratch = document.createElement("textarea");
    scratch.innerHTML = match[1];
    return scratch.value;
  }

  var CANCELLED = "cancelled";

  // Returns the request, so that an upload can be cancelled (its callback then gets CANCELLED).
  function request(method, url, body, onDone, onProgress) {
    var xhr = new XMLHttpRequest();
    xhr.open(method, url);
    xhr.setRequestHeader("Accept", "application/json");
    if (typeof body === "string") xhr.setRequestHeader("Content-Type", "application/x-www-form-urlencoded");
    if (onProgress && xhr.upload) xhr.upload.addEventListener("progress", onProgress);
    xhr.onload = function () {
      if (xhr.status >= 200 && xhr.status < 300) onDone(null, xhr); else onDone(errorText(xhr), xhr);
    };
    xhr.onerror = function () { onDone("The server could not be reached.", xhr); };
    xhr.onabort = function () { onDone(CANCELLED, xhr); };
    xhr.send(body);
    return xhr;
  }

  function form(fields) {
    return Object.keys(fields).map(function (key) {
      return encodeURIComponent(key) + "=" + encodeURIComponent(fields[key]);
    }).join("&");
  }

  function renderBreadcrumbs() {
    var nav = $("breadcrumbs");
    nav.textContent = "";
    var parts = currentPath.split("/").filter(function (part) { return part.length > 0; });
    var link = document.createElement("a");
    link.href = "#/";
    link.textContent = "All Files";
    nav.appendChild(link);
    var path = "/";
    parts.forEach(function (part) {
      path += part + "/";
      nav.appendChild(document.createTextNode(" / "));
      var crumb = document.createElement("a");
      crumb.href = "#" + encodeURIComponent(path);
      crumb.textContent = part;
      nav.appendChild(crumb);
    });
  }

  function button(label, title, onClick, extraClass) {
    var element = document.createElement("button");
    element.type = "button";
    element.className = "button" + (extraClass ? " " + extraClass : "");
    element.textContent = label;
    element.title = title;
    element.setAttribute("aria-label", title);
    element.addEventListener("click", onClick);
    return element;
  }

  function startRename(row, entry) {
    var cell = row.querySelector(".name");
    var formElement = document.createElement("form");
    formElement.className = "inline-form";
    var input = document.createElement("input");
    input.type = "text";
    input.value = entry.name;
    input.setAttribute("aria-label", "New name or path for " + entry.name);
    formElement.appendChild(input);
    formElement.appendChild(button("Save", "Save the new name", function () { formElement.requestSubmit(); }));
    cell.textContent = "";
    cell.appendChild(formElement);
    input.focus();
    input.select();
    input.addEventListener("keydown", function (event) {
      if (event.key === "Escape") { event.preventDefault(); list(); }
    });
    formElement.addEventListener("submit", function (event) {
      event.preventDefault();
      var name = input.value.trim();
      if (!name || name === entry.name) { list(); return; }
      // A name with "/" moves the item: absolute from the shared folder, else relative to here.
      var target = name.charAt(0) === "/" ? name : joinPath(currentPath, name);
      var source = entry.path.replace(/\/$/, "");
      request("POST", "move", form({ oldPath: source, newPath: target }), function (error) {
        if (error) showMessage(error); else showMessage("");
        list();
      });
    });
  }

  function remove(entry) {
    if (!window.confirm("Delete \u201c" + entry.name + "\u201d?")) return;
    request("POST", "delete", form({ path: entry.path.replace(/\/$/, "") }), function (error) {
      if (error) showMessage(error); else showMessage("");
      list();
    });
  }

  function renderListing(entries) {
    var body = $("listing");
    body.textContent = "";
    $("empty").hidden = entries.length > 0;
    entries.forEach(function (entry) {
      var isFolder = entry.path.endsWith("/");
      var row = document.createElement("tr");
      row.dataset.name = entry.name;
      var name = document.createElement("td");
      name.className = "name";
      var link = document.createElement("a");
      if (isFolder) {
        link.href = "#" + encodeURIComponent(entry.path);
        link.textContent = entry.name + "/";
      } else {
        link.href = "download?path=" + encodeURIComponent(entry.path);
        link.setAttribute("download", entry.name);
        link.textContent = entry.name;
      }
      name.appendChild(link);
      var size = document.createElement("td");
      size.className = "size";
      size.textContent = isFolder ? "" : formatSize(entry.size);
      var tools = document.createElement("td");
      tools.className = "tools";
      tools.appendChild(button("Rename", "Rename or move " + entry.name, function () { startRename(row, entry); }));
      tools.appendChild(button("Delete", "Delete " + entry.name, function () { remove(entry); }, "danger"));
      row.appendChild(name);
      row.appendChild(size);
      row.appendChild(tools);
      body.appendChild(row);
    });
  }

  function list() {
    renderBreadcrumbs();
    request("GET", "list?path=" + encodeURIComponent(currentPath), null, function (error, xhr) {
      if (error) { showMessage(error); return; }
      renderListing(JSON.parse(xhr.responseText));
      document.body.dataset.listed = currentPath;
    });
  }

  // The bar, the percentage and the speed since the upload began.
  function setProgress(done, total, startedAt) {
    var percent = total > 0 ? Math.floor((done / total) * 100) : 100;
    $("progress-fill").style.width = percent + "%";
    $("progress").setAttribute("aria-valuenow", String(percent));
    var seconds = (Date.now() - startedAt) / 1000;
    var rate = seconds > 0.2 ? " \u00b7 " + formatSize(done / seconds) + "/s" : "";
    $("upload-rate").textContent = percent + "%" + rate;
  }

  function upload(files) {
    var queue = Array.prototype.slice.call(files);
    if (queue.length === 0) return;
    var total = queue.reduce(function (sum, file) { return sum + file.size; }, 0);
    var finished = 0;
    var failures = [];
    var folder = currentPath;
    var startedAt = Date.now();
    var current = null;
    var cancelled = false;
    var uploaded = 0;
    var cancel = $("cancel-upload");
    busy += 1;
    $("uploads").hidden = false;
    cancel.hidden = false;
    cancel.onclick = function () {
      cancelled = true;
      if (current) current.abort();
    };
    setProgress(0, total, startedAt);
    function done() {
      busy -= 1;
      cancel.hidden = true;
      current = null;
      if (cancelled) {
        $("upload-status").textContent = "Upload cancelled" + (uploaded > 0 ? " after " + uploaded + " of " + queue.length + " files." : ".");
      } else {
        $("upload-status").textContent = failures.length === 0
          ? "Uploaded " + queue.length + (queue.length === 1 ? " file." : " files.")
          : failures.join(" ");
      }
      if (failures.length) showMessage(failures.join(" ")); else showMessage("");
      document.body.dataset.uploaded = String(Number(document.body.dataset.uploaded || 0) + uploaded);
      if (cancelled) document.body.dataset.cancelled = String(Number(document.body.dataset.cancelled || 0) + 1);
      list();
    }
    function next(index) {
      if (index >= queue.length || cancelled) {
        done();
        return;
      }
      var file = queue[index];
      $("upload-status").textContent = "Uploading \u201c" + file.name + "\u201d (" + (index + 1) + " of " + queue.length + ")\u2026";
      var data = new FormData();
      data.append("path", folder);
      data.append("files[]", file, file.name);
      current = request("POST", "upload", data, function (error) {
        if (error === CANCELLED) { done(); return; }
        finished += file.size;
        setProgress(finished, total, startedAt);
        if (error) failures.push(error); else uploaded += 1;
        next(index + 1);
      }, function (event) {
        if (event.lengthComputable) setProgress(finished + Math.min(event.loaded, file.size), total, startedAt);
      });
    }
    next(0);
  }

  function navigate() {
    // Links carry the path encoded, so names holding "%" or "#" come back unchanged.
    var hash = "";
    try {
      hash = decodeURIComponent(window.location.hash.replace(/^#/, ""));
    } catch (malformed) {
      hash = "";
    }
    currentPath = hash && hash.charAt(0) === "/" ? hash : "/";
    showMessage("");
    list();
  }

  document.addEventListener("DOMContentLoaded", function () {
    $("file-input").addEventListener("change", function (event) {
      upload(event.target.files);
      event.target.value = "";
    });
    $("upload-button").addEventListener("keydown", function (event) {
      if (event.key === "Enter" || event.key === " ") { event.preventDefault(); $("file-input").click(); }
    });
    $("create-form").addEventListener("submit", function (event) {
      event.preventDefault();
      var name = $("folder-name").value.trim();
      if (!name) return;
      request("POST", "create", form({ path: joinPath(currentPath, name) }), function (error) {
        if (error) showMessage(error); else { showMessage(""); $("folder-name").value = ""; }
        list();
      });
    });
    $("refresh-button").addEventListener("click", list);
    var zone = $("drop-zone");
    zone.addEventListener("dragover", function (event) { event.preventDefault(); zone.classList.add("dragging"); });
    zone.addEventListener("dragleave", function () { zone.classList.remove("dragging"); });
    zone.addEventListener("drop", function (event) {
      event.preventDefault();
      zone.classList.remove("dragging");
      upload(event.dataTransfer.files);
    });
    window.addEventListener("hashchange", navigate);
    window.addEventListener("beforeunload", function (event) {
      if (busy > 0) { event.preventDefault(); event.returnValue = ""; }
    });
    navigate();
  });
})();
