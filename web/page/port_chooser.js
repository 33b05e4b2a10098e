// "Подключить программатор…", "Отключить", "Назвать порт…", the port's
// status line under the selector and the note that the simulator sends
// nothing anywhere.

// Asks the browser for a port with no filter (a filter of known adapters
// would hide the clones installers use) and chooses what it grants. A
// refusal or a blocked permission ends in a message that says what to do;
// `showMessage` shows it. The browser tells a chooser closed by the user
// from an empty one by nothing: on a first visit the message says it was
// cancelled and where to look if the programmer was not in it.
/**
 * @param {HTMLButtonElement} button
 * @param {import('./link.js').Link} link
 * @param {Serial | undefined} serial
 * @param {InstallerTexts} texts
 * @param {(message: QuorvexMessage) => Promise<unknown>} showMessage
 */
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
      if (/** @type {Error} */ (error).name === 'SecurityError') await showMessage(texts.blocked);
      else if ((await serial.getPorts()).length === 0) await showMessage(texts.chooserCancelled);
      else await showMessage(texts.declined);
      return;
    }
    await link.refresh();
    await link.choosePort(port);
  });
}

// "Отключить" closes the open port, shown only while one is; "Назвать порт…"
// names the chosen programmer, shown while one is chosen. `exclusive` runs
// each as a command, so neither cuts into one.
/**
 * @param {{ disconnect: HTMLButtonElement, name: HTMLButtonElement }} buttons
 * @param {import('./link.js').Link} link
 * @param {InstallerTexts} texts
 * @param {(run: () => Promise<void>) => Promise<void>} exclusive
 */
export function portButtons({ disconnect, name }, link, texts, exclusive) {
  disconnect.textContent = texts.disconnect;
  name.textContent = texts.namePort;
  disconnect.addEventListener('click', () => exclusive(() => link.disconnect()));
  name.addEventListener('click', () => exclusive(async () => {
    const given = window.prompt(texts.namePrompt, link.names.get(/** @type {import('./ports.js').Port} */ (link.current())) ?? '');
    if (given !== null) await link.nameChosen(given.trim());
  }));
}

// Which of those buttons the chosen port has.
/**
 * @param {{ disconnect: HTMLButtonElement, name: HTMLButtonElement }} buttons
 * @param {import('./link.js').Link} link
 */
export function showPortButtons({ disconnect, name }, link) {
  disconnect.hidden = !link.portIsOpen();
  const chosen = link.current();
  name.hidden = !chosen || chosen === link.simulator;
}

// The status line: the chosen port and its state (not opened, open, lost,
// or why it would not open), and the simulator's note while it is chosen;
// `portStatus(state, port, cause)` words the line.
/**
 * @param {HTMLElement} line
 * @param {HTMLElement} note
 * @param {import('./link.js').Link} link
 * @param {InstallerTexts} texts
 * @param {Quorvex['portStatus']} portStatus
 */
export function showPortStatus(line, note, link, texts, portStatus) {
  const chosen = link.current();
  note.hidden = chosen !== link.simulator;
  note.textContent = texts.simulatorNote;
  if (!chosen) line.textContent = link.lostLabel ? portStatus('lost', link.lostLabel, '') : portStatus('none', '', '');
  else if (chosen.failure) line.textContent = portStatus('failed', link.label(), chosen.failure);
  else if (chosen.lost) line.textContent = portStatus('lost', link.label(), '');
  else line.textContent = portStatus(chosen === link.openPort ? 'open' : 'closed', link.label(), '');
}
