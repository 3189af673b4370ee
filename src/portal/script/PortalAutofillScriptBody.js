// Runs inside the portal page after the profile, preferredGender, autoSubmit, blockerTerms, pressedSteps and
// portalHosts constants.
// Errors are not caught on purpose: the host treats a run without a result as an unsupported portal.
const result = {
    didRun: true,
    blocked: false,
    reason: null,
    filledFields: 0,
    checkedBoxes: 0,
    submitted: false,
    fieldCategories: [],
    pressedStep: null
};
const finish = () => {
    window.brewBeaconLastAutofillResult = result;
    return JSON.stringify(result);
};
const block = (reason) => {
    result.blocked = true;
    result.reason = reason;
};

// The host names the portal's hosts; a page elsewhere (a site the user went on to) is left alone.
const pageHost = location.protocol === "file:" ? "file:" : location.hostname.toLowerCase().replace(/^\[|\]$/g, "");
if (portalHosts !== null && !portalHosts.includes(pageHost)) {
    result.didRun = false;
    result.outsidePortal = true;
    return JSON.stringify(result);
}

const clean = (value) => (value === null || value === undefined) ? "" : String(value).trim();
const joinParts = (parts) => parts.map(clean).filter((part) => part.length > 0).join(" ");
// Pages written with decomposed accents would otherwise slip past the precomposed terms and patterns.
const fold = (text) => text.normalize("NFC").toLowerCase();
const attribute = (element, name) => element.getAttribute ? element.getAttribute(name) : null;
const typeOf = (element) => clean(element.type).toLowerCase();
const tagOf = (element) => element.tagName.toLowerCase();
const isButtonLikeInput = (element) =>
    tagOf(element) === "input" && ["submit", "button", "reset", "image"].includes(typeOf(element));

// Reading layout and style is most of a run's cost, and several passes look at the same elements: what
// was read is kept until the script itself changes the page (a value set, an event sent, a press).
const readings = { seen: new Map(), text: new Map(), label: new Map() };
const pageChanged = () => {
    for (const cache of Object.values(readings))
        cache.clear();
};
const remembered = (cache, element, read) => {
    if (cache.has(element))
        return cache.get(element);
    const value = read(element);
    cache.set(element, value);
    return value;
};
const textOf = (element) => remembered(readings.text, element, (node) => node.innerText);

// What a visitor can see: laid out, not hidden by style and not pushed off the page.
const isSeen = (element) => !!element && remembered(readings.seen, element, isSeenNow);
const isSeenNow = (element) => {
    if (typeOf(element) === "hidden")
        return false;
    const box = element.getBoundingClientRect();
    if (!(box.width > 0 && box.height > 0) || box.right <= 0 || box.bottom <= 0)
        return false;
    const style = window.getComputedStyle(element);
    return style.visibility !== "hidden" && style.display !== "none" && Number(style.opacity) !== 0;
};
const isVisible = (element) => !!element && !element.disabled && !element.readOnly && isSeen(element);

// Label text of an element. A text field's value is what was typed, not a label; a drop-down list's
// own options are its answers, not its question.
const labelText = (element) => remembered(readings.label, element, labelTextNow);
const labelTextNow = (element) => {
    const className = typeof element.className === "string" ? element.className : "";
    const tag = tagOf(element);
    const typed = tag === "select" || tag === "textarea" ||
        (tag === "input" && !isButtonLikeInput(element) && !["radio", "checkbox"].includes(typeOf(element)));
    const parts = [element.name, element.id, element.placeholder];
    if (!typed)
        parts.push(element.value, textOf(element), element.textContent);
    parts.push(element.title, className, element.autocomplete, attribute(element, "aria-label"));
    if (element.labels)
        for (const label of element.labels)
            parts.push(textOf(label));
    const enclosing = element.parentElement ? element.parentElement.closest("label") : null;
    if (enclosing && !(element.labels && Array.from(element.labels).includes(enclosing)))
        parts.push(textOf(enclosing));
    return fold(joinParts(parts));
};

// The words a visitor reads as a field's caption: its labels, or the short text right beside it when a
// page writes the caption as plain text before or after the box (line breaks between do not matter).
const sideCaption = (element, step) => {
    let node = element[step];
    for (let hops = 0; node && hops < 6; ++hops, node = node[step]) {
        if (node.nodeType === Node.TEXT_NODE) {
            if (clean(node.textContent).length > 0)
                return clean(node.textContent);
            continue;
        }
        if (node.nodeType !== Node.ELEMENT_NODE || tagOf(node) === "br")
            continue;
        if (node.matches("input, select, textarea, button") || node.querySelector("input, select, textarea, button"))
            return "";
        return clean(node.innerText);
    }
    return "";
};
const visibleCaption = (element) => {
    const parts = [];
    if (element.labels)
        for (const label of element.labels)
            parts.push(label.innerText);
    const enclosing = element.parentElement ? element.parentElement.closest("label") : null;
    if (enclosing)
        parts.push(enclosing.innerText);
    if (parts.every((part) => clean(part).length === 0))
        parts.push(sideCaption(element, "previousSibling"), sideCaption(element, "nextSibling"));
    return fold(joinParts(parts.filter((part) => clean(part).length <= 40)));
};

// The page as a visitor meets it: its visible text, the controls they can see, and the widgets that
// stand for a person-only check even when drawn inside a frame. What a seen control shows as text is
// already in the body's text (a text box's content is not), so a control adds only what the body's
// text lacks: its names, type, hints and value. Links, labels and generic buttons have only their names
// to add, so those without any are not even looked at, and only a control with something to add is laid
// out to see whether it is seen: a page of hundreds of links would otherwise cost a reading of each.
const namedOnly = ["a", "label", "[role='button']"]
    .flatMap((kind) => ["id", "name", "aria-label"].map((name) => kind + "[" + name + "]"));
const seenControlTexts = (root) => Array.from(root.querySelectorAll(
    ["input", "button", "textarea", "select", ...namedOnly].join(", ")))
    .map((element) => ({ element, text: joinParts([
        element.name, element.id, tagOf(element) === "input" ? element.type : "", element.autocomplete,
        element.placeholder, isButtonLikeInput(element) || tagOf(element) === "button" ? element.value : "",
        tagOf(element) === "textarea" ? textOf(element) : "", attribute(element, "aria-label")
    ]) }))
    .filter(({ element, text }) => text.length > 0 && isSeen(element))
    .map(({ text }) => text);
const widgetPattern = /(captcha|recaptcha|hcaptcha|turnstile|challenges\.cloudflare\.com|arkoselabs|funcaptcha|geetest)/i;
const widgetTexts = (root) => {
    const texts = [];
    for (const element of root.querySelectorAll("iframe, frame"))
        texts.push(joinParts([attribute(element, "src"), element.title, element.name, element.id]));
    for (const element of root.querySelectorAll(
        ".g-recaptcha, .h-captcha, .cf-turnstile, [data-sitekey], [data-hcaptcha-widget-id], [data-turnstile-sitekey]"))
        texts.push("captcha " + joinParts([typeof element.className === "string" ? element.className : "", element.id]));
    // Widget plumbing: the response fields a widget keeps hidden.
    for (const element of root.querySelectorAll("input, textarea")) {
        const names = joinParts([element.name, element.id]);
        if (widgetPattern.test(names))
            texts.push(names);
    }
    return texts.filter((text) => widgetPattern.test(text) || text.startsWith("captcha"));
};
const reachableFrameDocuments = () => {
    const documents = [];
    for (const frame of Array.from(document.querySelectorAll("iframe, frame")).slice(0, 12)) {
        try {
            if (frame.contentDocument && frame.contentDocument.body)
                documents.push(frame.contentDocument);
        } catch (error) {
            // Another origin: its address and title were looked at above.
        }
    }
    return documents;
};
const documentText = (root) => {
    const body = root.body ? clean(root.body.innerText) : "";
    return [body, ...seenControlTexts(root), ...widgetTexts(root)].join(" ");
};
const rawPageText = fold([documentText(document), ...reachableFrameDocuments().map(documentText)].join(" "))
    .replace(/\s+/g, " ");
// Marketing copy about member offers is not a member-only page. Every such phrase names members, so a
// page that never does is spared the long pattern.
const namesMembers = /thành\s*viên|thanh\s*vien|member/.test(rawPageText);
const pageText = !namesMembers ? rawPageText : rawPageText.replace(
    /(ưu\s*đãi|uu\s*dai|khuyến\s*mãi|khuyen\s*mai|quà\s*tặng|qua\s*tang|tích\s*điểm|tich\s*diem|offers?|deals?|discounts?|benefits?|rewards?|perks?|promotions?|points?)(\s+(dành\s*cho|danh\s*cho|for|của|cua))?\s+(thành\s*viên|thanh\s*vien|members?(hip)?)|(thành\s*viên|thanh\s*vien|members?)\s+(ưu\s*đãi|uu\s*dai|offers?|deals?|discounts?|benefits?|rewards?|perks?)|(become|trở\s*thành|tro\s*thanh)\s+(a\s+)?(thành\s*viên|thanh\s*vien|member)/g,
    " ");

// Wordings the fixed list misses: passwords in other languages, SMS codes, paying for access.
const furtherBlockerTerms = [
    "mot de passe", "contraseña", "contrasena", "passwort", "senha", "kata sandi",
    "matricule", "student id", "employee id",
    "digit code", "code received", "code sent", "enter the code", "enter code", "sms code", "verify phone",
    "verify your phone", "verify your number", "mã xác nhận", "ma xac nhan", "sms",
    "pay to access", "pay with", "pay now", "pay for", "purchase", "buy now", "checkout", "m-pesa", "mpesa", "paypal"
];
// One pass over the text says whether any term is there; only then is the first of them looked for.
const escapedForPattern = (text) => text.replace(/[.*+?^${}()|[\]\\]/g, "\\$&");
const anyBlockerTerm = new RegExp([...blockerTerms, ...furtherBlockerTerms].map(escapedForPattern).join("|"));
const blocker = !anyBlockerTerm.test(pageText) ? undefined : blockerTerms.find((term) => pageText.includes(term)) ||
    furtherBlockerTerms.find((term) => pageText.includes(term));
if (blocker !== undefined) {
    block("Needs user action: " + blocker);
    return finish();
}

// Signing in through another company's account is the user's decision, however the button is worded.
const socialProviders = "google|apple|facebook|fb|zalo|twitter|instagram|linkedin|microsoft|github|kakao|wechat|tiktok|yahoo";
const socialSignIn = new RegExp("(continue|sign\\s*in|sign\\s*up|log\\s*in|login|connect|register|join|đăng\\s*nhập|dang\\s*nhap|đăng\\s*ký|dang\\s*ky|tiếp\\s*tục|tiep\\s*tuc|kết\\s*nối|ket\\s*noi)\\s+(with|via|using|through|bằng|bang|qua|với|voi)\\s+(your\\s+|tài\\s*khoản\\s+|tai\\s*khoan\\s+)?(" + socialProviders + ")([^a-z]|$)", "i");
const namesSocialProvider = (label) => new RegExp("(^|[^a-z])(" + socialProviders + ")([^a-z]|$)", "i").test(label);
const socialMatch = pageText.match(socialSignIn);
const socialButton = Array.from(document.querySelectorAll("button, input[type='submit'], input[type='button'], [role='button']"))
    .filter(isSeen).find((element) => namesSocialProvider(labelText(element)));
if (socialMatch || socialButton) {
    block("Needs user action: " + (socialMatch ? clean(socialMatch[0]).replace(/\s+/g, " ") : "social login"));
    return finish();
}

const matches = (pattern, exclusion) => (label) => pattern.test(label) && !(exclusion && exclusion.test(label));
const vietnameseFullName = /(họ\s*(và\s*)?tên|ho\s*(va\s*)?ten)([^a-z]|$)/i;
const isNameField = matches(
    /(^|[^a-z])(full\s*name|fullname|your\s*name|display\s*name|visitor\s*name|guest\s*name|name|ho\s*ten|họ\s*tên|họ\s*và\s*tên|ho\s*va\s*ten)([^a-z]|$)/i,
    /(wifi|network|ssid|company|business|card|user\s*name|username|email|phone|mobile)/i);
// A text box captioned "Name" is the visitor's name whatever its markup calls it; one captioned "User
// name" or "Password" asks for an account and stays empty whatever its markup says.
const accountCaption = /(user\s*name|login|account|password|mật\s*khẩu|mat\s*khau|tên\s*đăng\s*nhập|ten\s*dang\s*nhap)/i;
const isVisitorNameBox = (label, element) => {
    if (tagOf(element) !== "input" || !["text", "search", ""].includes(typeOf(element)))
        return isNameField(label);
    const caption = visibleCaption(element);
    if (accountCaption.test(caption))
        return false;
    return isNameField(label) || isNameField(caption);
};
const isFirstNameField = (label) => !vietnameseFullName.test(label) && matches(
    /(first\s*name|given\s*name|forename|fname|(^|[^a-z])ten|tên)([^a-z]|$)/i,
    /(last|family|full|user\s*name|username|company|business|email|phone|mobile)/i)(label);
const isLastNameField = (label) => !vietnameseFullName.test(label) && matches(
    /(last\s*name|family\s*name|surname|lname|(^|[^a-z])ho|họ)([^a-z]|$)/i,
    /(first|given|full|company|business|email|phone|mobile)/i)(label);
const isEmailField = (element, label) => typeOf(element) === "email" || /(email|e-mail|mail)/i.test(label);
const isPhoneField = (element, label) => typeOf(element) === "tel" ||
    /(phone|mobile|cell|telephone|số\s*điện\s*thoại|so\s*dien\s*thoai|điện\s*thoại|dien\s*thoai)/i.test(label);
const isPostalCodeField = matches(/(zip|postal|postcode|post\s*code|mã\s*bưu\s*chính|ma\s*buu\s*chinh)/i);
const isCompanyField = matches(/(company|business|organization|organisation|workplace|employer|công\s*ty|cong\s*ty)/i);
const isBirthYearField = matches(
    /(birth\s*year|birthyear|year\s*of\s*birth|year_of_birth|dob_year|dob\s*year|born\s*year|year\s*born|nam\s*sinh|năm\s*sinh)/i);
const isBirthMonthField = matches(
    /(birth\s*month|month\s*of\s*birth|dob_month|dob\s*month|month\s*born|tháng\s*sinh|thang\s*sinh)/i);
const isBirthDayField = matches(
    /(birth\s*day|birthday\s*day|day\s*of\s*birth|dob_day|dob\s*day|day\s*born|ngày\s*sinh|ngay\s*sinh)/i);
const isBirthDateField = matches(
    /(date\s*of\s*birth|birth\s*date|birthday|dob|ngày\s*tháng\s*năm\s*sinh|ngay\s*thang\s*nam\s*sinh)/i);
const isTitleField = matches(/(^|[^a-z])(title|salutation|prefix)([^a-z]|$)/i);
const isCountryField = matches(/(^|[^a-z])(country|nation|quốc\s*gia|quoc\s*gia)([^a-z]|$)/i);
const isAgeField = matches(
    /(^|[^a-z])(age|your\s*age|visitor\s*age|guest\s*age|tuoi|tuổi)([^a-z]|$)/i,
    /(page|usage|message|average|storage)/i);
const isTermsField = matches(
    /(terms|condition|acceptable\s*use|wifi\s*policy|wi-fi\s*policy|privacy\s*policy|agree|accept)/i,
    /(newsletter|marketing|promotion|offers|advertising|subscribe|email\s*updates)/i);
// A free-text box for remarks never receives the visitor's details.
const isCommentField = matches(
    /(comment|message|feedback|remark|note|suggestion|góp\s*ý|gop\s*y|ghi\s*chú|ghi\s*chu|lời\s*nhắn|loi\s*nhan|ý\s*kiến|y\s*kien|nhận\s*xét|nhan\s*xet)/i);
const isMaleOption = matches(/(^|[^a-z])(male|man|nam)([^a-z]|$)/i);
const isFemaleOption = matches(/(^|[^a-z])(female|woman|nu|nữ)([^a-z]|$)/i);
const isOtherGenderOption = matches(
    /(^|[^a-z])(other|khác|khac|non-binary|nonbinary|diverse|prefer\s*not|không\s*muốn|khong\s*muon)([^a-z]|$)/i);
const isGenderOption = (label) => isMaleOption(label) || isFemaleOption(label) || isOtherGenderOption(label);
const isGenderField = matches(/(^|[^a-z])(gender|sex|giới\s*tính|gioi\s*tinh)([^a-z]|$)/i);
const isPreferredGenderOption = (label) => {
    if (preferredGender === "female")
        return isFemaleOption(label);
    if (preferredGender === "male")
        return isMaleOption(label) && !isFemaleOption(label);
    return isOtherGenderOption(label);
};
const isLanguageOption = matches(/(^|[^a-z])(vie|eng|english|tiếng\s*việt|tieng\s*viet)([^a-z]|$)/i);
const isHelpOption = matches(/(why|tại\s*sao|tai\s*sao|remind|nhắc\s*tôi|nhac\s*toi|later|sau)/i);
// Reading the terms, declining or going back is never the way onto the internet.
const isNotAnAction = matches(
    /(^|[^a-z])(read|view|more|decline|cancel|refuse|reject|back|close|xem|từ\s*chối|tu\s*choi|hủy|huy|quay\s*lại|quay\s*lai|đóng|dong)([^a-z]|$)/i);
const isPortalActionLabel = matches(
    /(connect|join|continue|start|agree|accept|login|log in|internet|access|confirm|submit|go online|online|xác\s*nhận|xac\s*nhan|tiếp\s*tục|tiep\s*tuc|kết\s*nối|ket\s*noi|truy\s*cập|truy cap)/i);
const actionScore = (label) =>
    (/(kết\s*nối\s*internet|ket\s*noi\s*internet|connect\s*internet|internet\s*access|go\s*online)/i.test(label) ? 10 : 0) +
    (/(connect|kết\s*nối|ket\s*noi|internet|access)/i.test(label) ? 5 : 0) +
    (/(continue|tiếp\s*tục|tiep\s*tuc|confirm|xác\s*nhận|xac\s*nhan|agree|accept)/i.test(label) ? 3 : 0);

const notify = (element) => {
    element.dispatchEvent(new Event("input", { bubbles: true }));
    element.dispatchEvent(new Event("change", { bubbles: true }));
    pageChanged();
};
const setValue = (element, value) => {
    element.value = value;
    notify(element);
};
const pressLikeUser = (element) => {
    const options = { bubbles: true, cancelable: true, view: window };
    element.dispatchEvent(new MouseEvent("mousedown", options));
    element.dispatchEvent(new MouseEvent("mouseup", options));
    element.click();
    pageChanged();
};
const selectOption = (select, expected, aliases = []) => {
    const wanted = clean(expected).toLowerCase();
    const alternatives = aliases.map((alias) => clean(alias).toLowerCase());
    const accepts = (text) => text === wanted || alternatives.includes(text);
    const option = Array.from(select.options).find((candidate) =>
        accepts(clean(candidate.value).toLowerCase()) || accepts(clean(candidate.text).toLowerCase()));
    if (!option)
        return false;
    if (select.value !== option.value) {
        select.value = option.value;
        notify(select);
    }
    return true;
};
const decimal = (text) => {
    const value = parseInt(text, 10);
    return Number.isNaN(value) ? [] : [String(value)];
};

const birthYearNumber = parseInt(profile.birthYear, 10);
const ageValue = (!Number.isNaN(birthYearNumber) && profile.birthYear.length === 4)
    ? String(new Date().getFullYear() - birthYearNumber) : "";
const pad = (text) => text.padStart(2, "0");
const birthDateValue = (profile.birthYear && profile.birthMonth && profile.birthDay)
    ? profile.birthYear + "-" + pad(profile.birthMonth) + "-" + pad(profile.birthDay) : "";

// One gender choice per pass, before the fields. Choosing never submits a form, follows a link or flips
// a toggle back: a radio button is checked, a plain button is pressed once per page and only when
// pressing is allowed at all.
const isSelectedControl = (element) => attribute(element, "aria-pressed") === "true" ||
    attribute(element, "aria-checked") === "true" ||
    /(^|\s)(active|selected|checked|is-active|is-selected)(\s|$)/i.test(typeof element.className === "string" ? element.className : "");
const pressesWithoutLeaving = (element) => {
    const tag = tagOf(element);
    if (tag === "a")
        return false;
    if (tag === "button")
        return typeOf(element) === "button";
    if (tag === "input")
        return typeOf(element) === "button";
    return !element.closest("a, form button[type='submit']");
};
// A link leaves the page, so links are not even looked at.
const genderCandidates = Array.from(document.querySelectorAll(
    "input[type='radio'], input[type='button'], button, [role='button']"))
    .filter((element) => (typeOf(element) === "radio" || pressesWithoutLeaving(element)) && isVisible(element));
const genderTarget = genderCandidates.find((element) => isPreferredGenderOption(labelText(element))) ||
    (preferredGender === "female" || preferredGender === "male"
        ? genderCandidates.find((element) => isGenderOption(labelText(element)) && !isOtherGenderOption(labelText(element)))
        : undefined);
if (genderTarget) {
    if (typeOf(genderTarget) === "radio") {
        if (!genderTarget.checked) {
            genderTarget.checked = true;
            notify(genderTarget);
            result.checkedBoxes += 1;
        }
    } else if (autoSubmit && pressesWithoutLeaving(genderTarget) && !isSelectedControl(genderTarget)) {
        window.brewBeaconGenderPresses = window.brewBeaconGenderPresses instanceof WeakSet
            ? window.brewBeaconGenderPresses : new WeakSet();
        if (!window.brewBeaconGenderPresses.has(genderTarget)) {
            window.brewBeaconGenderPresses.add(genderTarget);
            pressLikeUser(genderTarget);
            result.checkedBoxes += 1;
        }
    }
}

const genderAliases = () => {
    if (preferredGender === "female")
        return ["f", "woman", "nu", "nữ"];
    if (preferredGender === "male")
        return ["m", "man", "nam"];
    return ["other", "khác", "khac", "o", "prefer not to say"];
};
const offersGenders = (select) => {
    const texts = Array.from(select.options).map((option) => fold(clean(option.text) + " " + clean(option.value)));
    return texts.some(isMaleOption) && texts.some(isFemaleOption);
};
const fillSelect = (select, label) => {
    if (isBirthYearField(label) && profile.birthYear)
        return selectOption(select, profile.birthYear);
    if (isBirthMonthField(label) && profile.birthMonth)
        return selectOption(select, profile.birthMonth,
            [...decimal(profile.birthMonth), "jan", "january", "tháng 1", "thang 1"]);
    if (isBirthDayField(label) && profile.birthDay)
        return selectOption(select, profile.birthDay, decimal(profile.birthDay));
    if (isCountryField(label))
        return selectOption(select, "Vietnam", ["vn", "viet nam", "việt nam"]);
    if ((isGenderField(label) || isGenderOption(label) || offersGenders(select)) && preferredGender)
        return selectOption(select, preferredGender, genderAliases());
    if (isTitleField(label))
        return selectOption(select, "Ms", ["mrs", "miss"]);
    return false;
};

const textTypes = ["text", "search", ""];
const numericTypes = ["text", "number", "tel", ""];
const fillRules = [
    { types: textTypes, textArea: true, value: profile.firstName, test: isFirstNameField },
    { types: textTypes, textArea: true, value: profile.lastName, test: isLastNameField },
    { types: textTypes, textArea: true, value: profile.fullName, test: isVisitorNameBox },
    { types: ["email", "text", "search", ""], value: profile.emailAddress, test: (label, element) => isEmailField(element, label) },
    { types: ["tel", "text", "number", ""], value: profile.phoneNumber, test: (label, element) => isPhoneField(element, label) },
    { types: numericTypes, value: profile.postalCode, test: isPostalCodeField },
    { types: textTypes, textArea: true, value: profile.company, test: isCompanyField },
    { types: numericTypes, value: profile.birthYear, test: isBirthYearField },
    { types: numericTypes, value: profile.birthMonth, test: isBirthMonthField },
    { types: numericTypes, value: profile.birthDay, test: isBirthDayField },
    { types: ["date", "text"], value: birthDateValue, test: isBirthDateField },
    { types: numericTypes, value: ageValue, test: isAgeField }
];

const inputs = Array.from(document.querySelectorAll("input, textarea, select")).filter(isVisible);
for (const element of inputs) {
    const label = labelText(element);
    const tag = tagOf(element);
    if (tag === "select") {
        if (fillSelect(element, label))
            result.filledFields += 1;
        continue;
    }
    const type = typeOf(element);
    const isTextArea = tag === "textarea";
    const rule = isCommentField(label) ? undefined : fillRules.find((candidate) =>
        (candidate.types.includes(type) || (candidate.textArea === true && isTextArea)) &&
        candidate.value && candidate.test(label, element));
    if (rule) {
        if (element.value !== rule.value)
            setValue(element, rule.value);
        result.filledFields += 1;
    } else if (type === "checkbox" && !element.checked && isTermsField(label)) {
        element.checked = true;
        notify(element);
        result.checkedBoxes += 1;
    }
}

// A portal step as the host remembers it: the page's origin, the form the button sends (where, how,
// which fields) or the page's path when there is no form, and the button's label.
const stepKey = (element, actionLabel) => {
    const form = element.form || element.closest("form");
    let place = location.pathname;
    if (form) {
        let target = clean(attribute(form, "action"));
        try {
            const resolved = new URL(target, location.href);
            resolved.hash = "";
            target = resolved.origin + resolved.pathname;
        } catch (error) {
            // Keep the attribute as written.
        }
        const fields = Array.from(new Set(Array.from(form.elements).map((field) => clean(field.name))
            .filter((name) => name.length > 0))).sort();
        place = [target, clean(form.method).toLowerCase() || "get", fields.join(",")].join(" ");
    }
    const origin = location.protocol === "file:" ? "file:" : location.origin;
    return [origin, place, actionLabel.replace(/\s+/g, " ").slice(0, 120)].join("|").slice(0, 560);
};

// Generic markup only counts as a button when it holds no control of its own: a wrapper around the
// real button (a button group, a connect box, the form) is not the thing to press.
const genericButtonSelector = "[onclick], [class*='btn'], [class*='button'], [class*='connect'], [class*='submit']";
const isRealControl = (element) => ["button", "a"].includes(tagOf(element)) ||
    (tagOf(element) === "input" && ["submit", "button", "image"].includes(typeOf(element))) ||
    attribute(element, "role") === "button";
const isWrapper = (element) => !isRealControl(element) &&
    (tagOf(element) === "form" || element.querySelector("button, input, select, textarea, a, [role='button']") !== null);

const trySubmit = (reason) => {
    if (!autoSubmit)
        return false;
    const candidates = Array.from(document.querySelectorAll(
        "button, input[type='submit'], input[type='button'], input[type='image'], a, [role='button'], " + genericButtonSelector))
        // A link inside a check box's label is the terms to read, not the way on.
        .filter((element) => !element.closest("select, label") && !isWrapper(element))
        .map((element) => ({ element, label: labelText(element) }))
        .filter(({ label }) => !isGenderOption(label) && !isLanguageOption(label) && !isHelpOption(label) &&
            !isNotAnAction(label) && !namesSocialProvider(label))
        .filter(({ element, label }) => isPortalActionLabel(label) || typeOf(element) === "submit")
        // Last, as reading the layout is the costly test.
        .filter(({ element }) => isVisible(element))
        .map((candidate) => ({ ...candidate, score: actionScore(candidate.label) }));
    // Array sort is stable, so equal scores keep document order.
    candidates.sort((a, b) => b.score - a.score);
    if (candidates.length === 0 || candidates[0].score === 0)
        return false;
    if (candidates.filter((candidate) => candidate.score === candidates[0].score).length > 1) {
        block("Needs user action: multiple submit buttons");
        return false;
    }
    const best = candidates[0];
    const actionLabel = best.label || "submit";
    const actionURL = window.location.href;
    const key = stepKey(best.element, actionLabel);
    const now = Date.now();
    const last = window.brewBeaconLastPortalAction;
    const pressedHere = last && last.key === key && last.url === actionURL;
    if (pressedHere || pressedSteps.includes(key)) {
        // Pressed moments ago on this very page: the portal is still answering. Otherwise the portal
        // came back with the same step after the press, which only a person can sort out.
        if (pressedHere && now - (Number(last.time) || 0) < 6000)
            block("Waiting for the portal next step.");
        else
            block("Needs user action: still captive");
        return false;
    }
    window.brewBeaconLastPortalAction = { label: actionLabel, url: actionURL, time: now, key };
    result.pressedStep = key;
    pressLikeUser(best.element);
    result.submitted = true;
    if (reason)
        result.reason = reason;
    return true;
};

const isChoice = (element) => ["hidden", "checkbox", "radio"].includes(typeOf(element));
const requiredEmpty = inputs.filter((element) => element.required && !isChoice(element) && clean(element.value) === "");
if (requiredEmpty.length > 0) {
    if (trySubmit("Tried submit so the portal can show the exact required fields."))
        block("Needs user action: portal still has a required field");
    else if (!result.blocked || result.reason === "Needs user action: multiple submit buttons")
        block("Needs user action: required field");
    return finish();
}

const categoryTests = [
    ["first_name", (label) => isFirstNameField(label)],
    ["last_name", (label) => isLastNameField(label)],
    ["full_name", isVisitorNameBox],
    ["email", (label, element) => isEmailField(element, label)],
    ["phone", (label, element) => isPhoneField(element, label)],
    ["postal_code", (label) => isPostalCodeField(label)],
    ["company", (label) => isCompanyField(label)],
    ["birth_year", (label) => isBirthYearField(label)],
    ["birth_month", (label) => isBirthMonthField(label)],
    ["birth_day", (label) => isBirthDayField(label)],
    ["birth_date", (label) => isBirthDateField(label)],
    ["age", (label) => isAgeField(label)]
];
const record = (category) => {
    if (!result.fieldCategories.includes(category))
        result.fieldCategories.push(category);
};
const identityQuestions = inputs.filter((element) => !isChoice(element) && tagOf(element) !== "select")
    .map((element) => ({ element, label: labelText(element) }))
    .filter((question) => !isCommentField(question.label))
    .map((question) => ({ ...question, test: categoryTests.find(([, test]) => test(question.label, question.element)) }))
    .filter((question) => question.test !== undefined);
for (const question of identityQuestions)
    if (clean(question.element.value) !== "")
        record(question.test[0]);
if (inputs.some((element) => typeOf(element) === "checkbox" && element.checked && isTermsField(labelText(element))))
    record("terms");
if (inputs.some((element) => {
    const label = labelText(element);
    const isGenderInput = isGenderField(label) || (tagOf(element) === "select" ? offersGenders(element) : isGenderOption(label));
    return isGenderInput && (element.checked || (typeOf(element) !== "radio" && clean(element.value) !== ""));
}))
    record("gender");
if (identityQuestions.some((question) => clean(question.element.value) === "")) {
    block("Needs user action: identity field");
    return finish();
}

// A page with nothing a visitor could fill or press is on its way somewhere (it submits itself or
// redirects): wait for the next page rather than hand it over.
const hasAnyControl = Array.from(document.querySelectorAll("input, textarea, select, button, a, [role='button']"))
    .some(isSeen);

if (autoSubmit)
    trySubmit(null);
if (!result.submitted && !result.blocked && result.filledFields === 0 && result.checkedBoxes === 0) {
    if (hasAnyControl)
        block("Needs user action: BrewBeacon could not find a supported field on this portal");
    else
        result.reason = "Waiting for the portal next step.";
}
return finish();
