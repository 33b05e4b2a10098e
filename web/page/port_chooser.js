// "Подключить программатор…", the port's status line under the selector and
// the note that the simulator sends nothing anywhere.

// Asks the browser for a port with no filter (a filter of known adapters
// would hide the clones installers use) and chooses what it grants. A
// refusal, a blocked permission or an empty list ends in a message that
// says what to do; `showMessage` shows it.
export function connectButton(button, link, serial, texts, showMessage) {
  button.textContent = texts.connect;
  if (!serial) {
    button.hidden = true;
    return;
  }
  button.addEventListener('click', async () => {
    let port;
    try {
      port = await serial.requestPort();
    } catch (error) {
      if (error.name === 'SecurityError') await showMessage(texts.blocked);
      else if ((await serial.getPorts()).length === 0) await showMessage(texts.noPorts);
      else await showMessage(texts.declined);
      return;
    }
    await link.refresh();
    link.choosePort(port);
  });
}

// The status line: the chosen port and its state (not opened, open, lost,
// or why it would not open), and the simulator's note while it is chosen.
export function showPortStatus(line, note, link, texts) {
  const chosen = link.current();
  note.hidden = chosen !== link.simulator;
  note.textContent = texts.simulatorNote;
  let state;
  if (!chosen) state = link.lostLabel ? texts.statusLost.replace('%s', link.lostLabel) : texts.statusNone;
  else if (chosen.failure) state = texts.statusFailed.replace('%c', chosen.failure);
  else if (chosen.lost) state = texts.statusLost;
  else if (chosen === link.openPort) state = texts.statusOpen;
  else state = texts.statusClosed;
  line.textContent = state.replace('%s', link.label());
}
