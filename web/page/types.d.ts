// What the page's scripts are given that TypeScript's libraries do not
// describe: the Web Serial API and the few newer browser calls the page
// makes, the module's JavaScript API (quorvex.js), and the elements of
// index.html by their ids. Only what the page uses, for the type check;
// nothing here is built.

// ---- Web Serial, as the page uses it

interface SerialPortInfo {
  usbVendorId?: number;
  usbProductId?: number;
}

interface SerialOptions {
  baudRate: number;
  dataBits?: number;
  stopBits?: number;
  parity?: 'none' | 'even' | 'odd';
  flowControl?: 'none' | 'hardware';
}

interface SerialPort extends EventTarget {
  readonly readable: ReadableStream<Uint8Array> | null;
  readonly writable: WritableStream<Uint8Array> | null;
  open(options: SerialOptions): Promise<void>;
  close(): Promise<void>;
  getInfo(): SerialPortInfo;
}

interface Serial extends EventTarget {
  getPorts(): Promise<SerialPort[]>;
  requestPort(): Promise<SerialPort>;
}

interface Navigator {
  readonly serial?: Serial;
}

// ---- Newer browser calls, where the browser has them

interface SaveFilePickerOptions {
  suggestedName?: string;
  types?: { description: string; accept: Record<string, string[]> }[];
}

interface LaunchParams {
  readonly files: readonly FileSystemFileHandle[];
}

interface LaunchQueue {
  setConsumer(consumer: (launch: LaunchParams) => void): void;
}

interface Window {
  showSaveFilePicker?(options: SaveFilePickerOptions): Promise<FileSystemFileHandle>;
  launchQueue?: LaunchQueue;
  // Set by boot.js: shows why the page cannot start.
  quorvexFailed(cause: unknown): void;
}

// Node's ports (pacing.js under the driver's tests) hold the process open
// or not; a browser's have neither.
interface MessagePort {
  ref?(): void;
  unref?(): void;
}

// ---- The module (quorvex.js)

// A message box: its text and title, and for the engine's messages their kind.
interface QuorvexMessage {
  title: string;
  text: string;
  messageKind?: string;
  port?: string;
  // The page's own line below the window's text: what to know or do next.
  note?: string;
}

interface CatalogueSetting {
  name: string;
  kind: 'list' | 'slider' | 'radio' | 'text';
  caption: string;
  hint: string;
  options: string[];
  minimum: number;
  maximum: number;
  buttons: { control: string; caption: string }[];
  valueLabel: string;
  minLabel: string;
  maxLabel: string;
}

interface CatalogueRow {
  kind: 'heading' | 'field' | 'box';
  caption: string;
  hint: string;
  settings: string[];
  column: number;
}

interface CatalogueBox {
  title: string;
  rows: CatalogueRow[];
}

interface CatalogueTab {
  kind: 'greeting' | 'zoneTable' | 'groupBoxes' | 'textFields';
  caption: string;
  boxes: CatalogueBox[];
  columns: { label: string; heading: string }[];
}

interface Catalogue {
  settings: CatalogueSetting[];
  tabs: CatalogueTab[];
}

interface PageTexts {
  version: string;
  buttons: Record<string, string>;
  greetingTitle: string;
  greetingLines: string[];
  webAddress: string;
  webCaption: string;
  simulatorPort: string;
  noPortChosen: string;
  // A port unplugged since the batch's box was checked.
  portGone: string;
  noWebSerial: string;
  unsavedEdits: string;
  saveFailed: QuorvexMessage;
  cannotOpen: QuorvexMessage;
  portLost: QuorvexMessage;
  commandFailed: QuorvexMessage;
}

interface ToolTexts {
  close: string;
  sheet: string;
  maskPassword: string;
  print: string;
  compare: string;
  compareDefaults: string;
  compareFile: string;
  compareDevice: string;
  tabColumn: string;
  captionColumn: string;
  history: string;
  historyEmpty: string;
  historyRefused: string;
  historyOpen: string;
  historySave: string;
  historyCompare: string;
  historyTimeColumn: string;
  historyPortColumn: string;
  historyCommandColumn: string;
  historyOutcomeColumn: string;
  batch: string;
  batchWrite: string;
  batchStop: string;
  batchAll: string;
  batchRetry: string;
  // The mark before a failed port's line.
  batchFailedMark: string;
  // The command's word by its name.
  commands: Record<string, string>;
  historyLimit: number;
}

interface InstallerTexts {
  portLabel: string;
  connect: string;
  disconnect: string;
  // The page's own first step, above the greeting's lines.
  connectStep: string;
  namePort: string;
  namePrompt: string;
  simulatorNote: string;
  declined: QuorvexMessage;
  blocked: QuorvexMessage;
  chooserCancelled: QuorvexMessage;
  driverHint: string;
  aboutTitle: string;
  aboutVersion: string;
  close: string;
  recording: string;
  readSuffix: string;
  unsavedRead: string;
  updateRestart: string;
  updateLater: string;
  skipToSettings: string;
}

interface FileTexts {
  maxFileBytes: number;
  tooLarge: QuorvexMessage;
  unreadable: QuorvexMessage;
}

interface Protocol {
  lineOptions: SerialOptions;
  recordingMs: number;
  writeTimeoutMs: number;
}

// Objects of the module's classes hold its memory until delete().
interface QuorvexObject {
  delete(): void;
}

interface QuorvexModel extends QuorvexObject {
  listIndex(name: string): number;
  setListIndex(name: string, index: number): void;
  sliderPosition(name: string): number;
  setSliderPosition(name: string, position: number): void;
  sliderMinimum(name: string): number;
  radioNumber(name: string): number;
  setRadioNumber(name: string, number: number): void;
  text(name: string): string;
  setText(name: string, text: string): void;
  labelText(label: string): string;
  // The refusal, or null once opened.
  open(bytes: Uint8Array): QuorvexMessage | null;
  // The file's bytes (null when refused) and the messages to show.
  save(): { bytes: Uint8Array<ArrayBuffer> | null; messages: QuorvexMessage[] };
}

// One step the engine asks of the page; which fields it has depends on its kind.
interface CommandStep extends QuorvexMessage {
  kind: string;
  field: string;
  visible: boolean;
  bytes: Uint8Array;
  perByte: boolean;
  pauseMs: number;
  timeoutMs: number;
  readEveryMs: number;
  readMaxBytes: number;
  untilMs: number;
  sliceMs: number;
  interim: boolean;
  outcome: string;
  cause: string;
  systemText: string;
}

// How a command ended, by the core's codes: what the batch and the history keep.
interface CommandSummary {
  outcome: string;
  cause?: string;
  systemText?: string;
  frameSent?: boolean;
  differing?: number;
}

// What happened, as the page tells the engine.
interface CommandEvent {
  kind: string;
  nowMs: number;
  count?: number;
  bytes?: Uint8Array;
  // The core's code of why (openFailed: 'busy', 'denied', 'missing', 'openOther').
  cause?: string;
  // The browser's own words, shown apart.
  systemText?: string;
}

interface CommandEngine extends QuorvexObject {
  start(nowMs: number): CommandStep[];
  feed(event: CommandEvent): CommandStep[];
  countdown(nowMs: number): string;
  differences(): string[];
  // The settings the command sent or took, as a file's bytes; null when none.
  settingsFile(): Uint8Array<ArrayBuffer> | null;
  // Once finished: how it ended; null before.
  summary(): CommandSummary | null;
}

interface SimulatedDevice extends QuorvexObject {
  receive(bytes: Uint8Array, atMs: number): void;
  takeDue(nowMs: number): { due: number; bytes: Uint8Array }[];
}

// The sheet's lines of the object open and of the installer; "" leaves one blank.
interface SheetAbout {
  object: string;
  address: string;
  installer: string;
}

interface Comparison {
  refusal: QuorvexMessage | null;
  pageSide: string;
  otherSide: string;
  summary: string;
  rows: { tab: string; caption: string; page: string; other: string }[];
}

interface Quorvex {
  catalogue(): Catalogue;
  texts(): PageTexts;
  toolTexts(): ToolTexts;
  installerTexts(): InstallerTexts;
  fileTexts(): FileTexts;
  protocol(): Protocol;
  Model: new () => QuorvexModel;
  CommandEngine: new (model: QuorvexModel, command: string) => CommandEngine;
  SimulatedDevice: new () => SimulatedDevice;
  downloadStarted(name: string): QuorvexMessage;
  notOpened(first: string, others: string[]): QuorvexMessage;
  writeCutShort(port: string): QuorvexMessage;
  adapterLabels(infos: SerialPortInfo[]): string[];
  openFailureLine(errorName: string, browserText: string): string;
  openFailureCause(errorName: string, browserText: string): string;
  failureMessage(kind: 'cannotOpen' | 'portLost' | 'commandFailed', reason: string): QuorvexMessage;
  readFrom(port: string): string;
  portStatus(state: string, port: string, cause: string): string;
  namedPort(label: string, name: string): string;
  sentTo(port: string): string;
  updateReady(release: string, build: string): string;
  sendingProgress(sent: number, total: number): string;
  settingsSheet(bytes: Uint8Array, fileName: string, maskPassword: boolean, edited: boolean, about: SheetAbout): string;
  compareWithDefaults(page: Uint8Array): Comparison;
  compareWithFile(page: Uint8Array, file: Uint8Array, name: string): Comparison;
  compareWithDevice(page: Uint8Array, device: Uint8Array, port: string): Comparison;
  compareWithEntry(page: Uint8Array, entry: Uint8Array, command: string, port: string, epochMs: number): Comparison;
  localTime(epochMs: number): string;
  historyFileName(port: string, epochMs: number): string;
  batchLine(port: string, summary: CommandSummary, seconds: number): string;
  historyOutcome(entry: CommandSummary): string;
  historySkipped(count: number): string;
  historySource(command: string, port: string, epochMs: number): string;
  batchTotal(outcomes: string[], verify: boolean): string;
  batchSucceeded(outcome: string): boolean;
}

// The module's loader, a classic script before the page's modules.
declare function createQuorvex(options?: { wasmBinary?: Uint8Array }): Promise<Quorvex>;

// ---- The page's elements by their ids (index.html)

interface PageElements {
  BitBtn1: HTMLButtonElement;
  BitBtn2: HTMLButtonElement;
  ComboBox1: HTMLSelectElement;
  Label19: HTMLLabelElement;
  Label87: HTMLButtonElement;
  N2: HTMLButtonElement;
  N3: HTMLButtonElement;
  OpenDialog1: HTMLInputElement;
  PageControl1: HTMLDivElement;
  about: HTMLDialogElement;
  batchAll: HTMLButtonElement;
  batchButton: HTMLButtonElement;
  batchClose: HTMLButtonElement;
  batchDialog: HTMLDialogElement;
  batchPorts: HTMLDivElement;
  batchResults: HTMLUListElement;
  batchRetry: HTMLButtonElement;
  batchStop: HTMLButtonElement;
  batchWrite: HTMLButtonElement;
  compareButton: HTMLButtonElement;
  compareClose: HTMLButtonElement;
  compareDefaults: HTMLButtonElement;
  compareDevice: HTMLButtonElement;
  compareDialog: HTMLDialogElement;
  compareFile: HTMLButtonElement;
  compareFileInput: HTMLInputElement;
  compareSummary: HTMLParagraphElement;
  compareTable: HTMLTableElement;
  connectPort: HTMLButtonElement;
  connectStep: HTMLParagraphElement;
  disconnectPort: HTMLButtonElement;
  frameProgress: HTMLProgressElement;
  historyButton: HTMLButtonElement;
  historyClose: HTMLButtonElement;
  historyDialog: HTMLDialogElement;
  historyEmpty: HTMLParagraphElement;
  historyTable: HTMLTableElement;
  message: HTMLDialogElement;
  messageNote: HTMLDivElement;
  messagePort: HTMLDivElement;
  messageText: HTMLParagraphElement;
  messageTitle: HTMLHeadingElement;
  pages: HTMLDivElement;
  namePort: HTMLButtonElement;
  portStatus: HTMLParagraphElement;
  readCountdown: HTMLOutputElement;
  recordingNote: HTMLParagraphElement;
  sendingText: HTMLSpanElement;
  serialNote: HTMLParagraphElement;
  sheetButton: HTMLButtonElement;
  sheetClose: HTMLButtonElement;
  sheetDialog: HTMLDialogElement;
  sheetFrame: HTMLIFrameElement;
  sheetMask: HTMLInputElement;
  sheetPrint: HTMLButtonElement;
  simulatorNote: HTMLParagraphElement;
  storageNote: HTMLParagraphElement;
  skipLink: HTMLAnchorElement;
  updateBar: HTMLDivElement;
  updateLater: HTMLButtonElement;
  updateRestart: HTMLButtonElement;
}

// The page's element of an id: of its kind for those of index.html, and a
// plain element for the settings' controls the page lays out itself.
interface ById {
  <Id extends keyof PageElements>(id: Id): PageElements[Id];
  (id: string): HTMLElement;
}
