// Sends print jobs from a web page to the print service on this computer with
// fetch(), no framework. Copy this file with packets.js and index.html and
// replace SAMPLE_DOCUMENTS with the data of your own pages.
"use strict";

const DEFAULT_SERVICE = "http://127.0.0.1:9300/";

function documentOf(djlx) {
  return SAMPLE_DOCUMENTS.find((doc) => doc.djlx === djlx);
}

// The body the service reads: the URL-encoded text of one JSON object.
function buildRequest(djlx, preview) {
  const doc = documentOf(djlx);
  const request = { title: doc.title, prev: preview ? "1" : "0", djlx: djlx };
  if (djlx === "0") {
    request.data = doc.data;
  } else {
    request.Maindata = doc.Maindata;
    request.Itemdata = doc.Itemdata;
  }
  return encodeURIComponent(JSON.stringify(request));
}

// For the browser's local network access check: the service on this computer
// is "loopback", one on another computer of the network "local".
function addressSpaceOf(serviceUrl) {
  const host = new URL(serviceUrl).hostname;
  const loopback = host === "localhost" || host.startsWith("127.") || host === "[::1]";
  return loopback ? "loopback" : "local";
}

// Posts one job; resolves with the reply's status once the clerk has closed
// the document window. The default content type keeps it a simple request,
// which needs no preflight. Rejects (TypeError) when the browser could not
// reach the service: not running, local network access refused, or this
// page's origin not on the service's allow-list.
async function sendPrint(serviceUrl, body, contentType = "application/x-www-form-urlencoded") {
  const response = await fetch(serviceUrl, {
    method: "POST",
    headers: { "Content-Type": contentType },
    body: body,
    // Browsers that do not know this option ignore it.
    targetAddressSpace: addressSpaceOf(serviceUrl),
  });
  return response.status;
}

// The state of the local network permission where the browser tells it:
// "granted", "denied", "prompt" or "unknown". Its name differs by version.
async function localNetworkPermission() {
  if (!navigator.permissions) return "unknown";
  for (const name of ["loopback-network", "local-network-access", "local-network"]) {
    try {
      return (await navigator.permissions.query({ name: name })).state;
    } catch (e) {
      // Not a permission this browser knows; try the next name.
    }
  }
  return "unknown";
}

function replyText(status) {
  if (status === 200) return "已完成";
  return "打印服务未能处理（状态 " + status + "），请查看打印服务窗口中的记录";
}

function setStatus(text) {
  document.getElementById("status").textContent = text;
}

// Shows the help at once; stresses the permission part when the browser says
// that it was refused.
async function showHelp() {
  document.getElementById("help").hidden = false;
  const permission = await localNetworkPermission();
  document.getElementById("help-permission").classList.toggle("likely", permission === "denied");
}

// One job from the form: a line in the job list that reads 打印中… until the
// reply arrives.
async function printSelected(event) {
  event.preventDefault();
  const djlx = document.getElementById("djlx").value;
  const preview = document.getElementById("prev").checked;
  const serviceUrl = document.getElementById("service").value.trim();
  const item = document.createElement("li");
  item.dataset.djlx = djlx;
  item.dataset.state = "printing";
  item.textContent = documentOf(djlx).name + "：打印中…";
  document.getElementById("jobs").append(item);
  setStatus("打印中…");
  document.getElementById("help").hidden = true;
  try {
    const status = await sendPrint(serviceUrl, buildRequest(djlx, preview));
    item.dataset.state = status === 200 ? "done" : "refused";
    item.dataset.status = String(status);
    item.textContent = documentOf(djlx).name + "：" + replyText(status);
    setStatus(replyText(status));
  } catch (e) {
    item.dataset.state = "failed";
    item.textContent = documentOf(djlx).name + "：无法连接打印服务";
    setStatus("无法连接打印服务，请看下面的说明");
    await showHelp();
  }
}

function setUp() {
  const select = document.getElementById("djlx");
  for (const doc of SAMPLE_DOCUMENTS) {
    select.append(new Option(doc.name + "（djlx " + doc.djlx + "）", doc.djlx));
  }
  const fromAddress = new URLSearchParams(location.search).get("service");
  document.getElementById("service").value = fromAddress || DEFAULT_SERVICE;
  document.getElementById("print-form").addEventListener("submit", printSelected);
}

document.addEventListener("DOMContentLoaded", setUp);
