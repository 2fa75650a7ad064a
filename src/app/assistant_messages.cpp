#include "app/assistant_messages.hpp"

namespace qelto {

// Each row: German, English, French, Spanish, Portuguese, Italian, Polish (the Language order).
// Every translation breaks its lines where the English text does, with the same blank before
// each break, and keeps the names of buttons and controls (YES, NO, OK, START ASSISTANT, GO,
// C-No:) as they are labelled on the window.
const std::array<MultiText, kAssistantMsgCount> AssistantMessages{{
    // MsgParamCancelled
    {
        "Die Parametrierung wurde abgebrochen. \n"
        "Es werden keine Parameter zum Sensor gesendet.",

        "Parameterisation has been cancelled. \n"
        "No parameters are sent to the sensor.",

        "Le paramétrage a été annulé. \n"
        "Aucun paramètre n'est envoyé au capteur.",

        "La parametrización se ha cancelado. \n"
        "No se envía ningún parámetro al sensor.",

        "A parametrização foi cancelada. \n"
        "Não são enviados parâmetros para o sensor.",

        "La parametrizzazione è stata annullata. \n"
        "Nessun parametro viene inviato al sensore.",

        "Parametryzacja została anulowana. \n"
        "Do czujnika nie są wysyłane żadne parametry.",
    },
    // MsgTeachCancelled
    {
        "Das Einlernen wurde abgebrochen. \n"
        "Es werden keine Farbwerte zum Sensor gesendet.",

        "Teaching has been cancelled. \n"
        "No color values are sent to the sensor.",

        "L'apprentissage a été annulé. \n"
        "Aucune valeur de couleur n'est envoyée au capteur.",

        "El aprendizaje se ha cancelado. \n"
        "No se envía ningún valor de color al sensor.",

        "A aprendizagem foi cancelada. \n"
        "Não são enviados valores de cor para o sensor.",

        "L'apprendimento è stato annullato. \n"
        "Nessun valore di colore viene inviato al sensore.",

        "Uczenie zostało anulowane. \n"
        "Do czujnika nie są wysyłane żadne wartości kolorów.",
    },
    // MsgHowManyColors
    {
        "Wie viele Farben möchten Sie einlernen? \n\n"
        "Bei einem Sensor mit 5 Digitalausgängen \n"
        "können maximal 31 Farben eingelernt werden. \n\n"
        "Bei einem Sensor mit 2 Ausgängen maximal 3.",

        "How many colors do you want to teach? \n\n"
        "With a sensor with 5 digital outputs \n"
        "a maximum of 31 colors can be taught. \n\n"
        "With a sensor with 2 outputs a maximum of 3.",

        "Combien de couleurs voulez-vous apprendre ? \n\n"
        "Avec un capteur à 5 sorties numériques, \n"
        "31 couleurs au maximum peuvent être apprises. \n\n"
        "Avec un capteur à 2 sorties, 3 au maximum.",

        "¿Cuántos colores desea enseñar? \n\n"
        "Con un sensor de 5 salidas digitales \n"
        "se pueden enseñar como máximo 31 colores. \n\n"
        "Con un sensor de 2 salidas, como máximo 3.",

        "Quantas cores pretende ensinar? \n\n"
        "Com um sensor com 5 saídas digitais \n"
        "podem ser ensinadas no máximo 31 cores. \n\n"
        "Com um sensor com 2 saídas, no máximo 3.",

        "Quanti colori si desidera far apprendere? \n\n"
        "Con un sensore con 5 uscite digitali \n"
        "è possibile far apprendere al massimo 31 colori. \n\n"
        "Con un sensore con 2 uscite, al massimo 3.",

        "Ile kolorów ma zostać nauczonych? \n\n"
        "Czujnik z 5 wyjściami cyfrowymi \n"
        "może nauczyć się maksymalnie 31 kolorów. \n\n"
        "Czujnik z 2 wyjściami maksymalnie 3.",
    },
    // MsgValueOutOfRange
    {
        "Der eingegebene Wert liegt außerhalb des Wertebereichs. \n\n"
        "Bitte geben Sie einen neuen Wert ein. \n\n"
        "Bei einem Sensor mit 5 Digitalausgängen \n"
        "können maximal 31 Farben eingelernt werden. \n\n"
        "Bei einem Sensor mit 2 Ausgängen maximal 3.",

        "The entered value lies outside its value range. \n\n"
        "Please enter a new value. \n\n"
        "With a sensor with 5 digital outputs \n"
        "a maximum of 31 colors can be taught. \n\n"
        "With a sensor with 2 outputs a maximum of 3.",

        "La valeur saisie est en dehors de sa plage de valeurs. \n\n"
        "Veuillez saisir une nouvelle valeur. \n\n"
        "Avec un capteur à 5 sorties numériques, \n"
        "31 couleurs au maximum peuvent être apprises. \n\n"
        "Avec un capteur à 2 sorties, 3 au maximum.",

        "El valor introducido está fuera de su rango de valores. \n\n"
        "Introduzca un nuevo valor. \n\n"
        "Con un sensor de 5 salidas digitales \n"
        "se pueden enseñar como máximo 31 colores. \n\n"
        "Con un sensor de 2 salidas, como máximo 3.",

        "O valor introduzido está fora do seu intervalo de valores. \n\n"
        "Introduza um novo valor. \n\n"
        "Com um sensor com 5 saídas digitais \n"
        "podem ser ensinadas no máximo 31 cores. \n\n"
        "Com um sensor com 2 saídas, no máximo 3.",

        "Il valore immesso è al di fuori del campo di valori consentito. \n\n"
        "Immettere un nuovo valore. \n\n"
        "Con un sensore con 5 uscite digitali \n"
        "è possibile far apprendere al massimo 31 colori. \n\n"
        "Con un sensore con 2 uscite, al massimo 3.",

        "Wprowadzona wartość jest poza dopuszczalnym zakresem. \n\n"
        "Wprowadź nową wartość. \n\n"
        "Czujnik z 5 wyjściami cyfrowymi \n"
        "może nauczyć się maksymalnie 31 kolorów. \n\n"
        "Czujnik z 2 wyjściami maksymalnie 3.",
    },
    // MsgDefaultLoaded
    {
        "Der eingegebene Wert liegt außerhalb des Wertebereichs. \n\n"
        "Der Standardwert wird geladen. \n\n"
        "Bei einem Sensor mit 5 Digitalausgängen beträgt dieser Standardwert 31 \n"
        "und bei einem Sensor mit 2 Ausgängen 3.",

        "The entered value lies outside its value range. \n\n"
        "The default value will be loaded. \n\n"
        "With a sensor with 5 digital outputs this default value is 31 \n"
        "and with a sensor with 2 outputs it is 3.",

        "La valeur saisie est en dehors de sa plage de valeurs. \n\n"
        "La valeur par défaut va être chargée. \n\n"
        "Avec un capteur à 5 sorties numériques, cette valeur par défaut est 31 \n"
        "et avec un capteur à 2 sorties, elle est de 3.",

        "El valor introducido está fuera de su rango de valores. \n\n"
        "Se cargará el valor predeterminado. \n\n"
        "Con un sensor de 5 salidas digitales, este valor predeterminado es 31 \n"
        "y con un sensor de 2 salidas es 3.",

        "O valor introduzido está fora do seu intervalo de valores. \n\n"
        "Será carregado o valor predefinido. \n\n"
        "Com um sensor com 5 saídas digitais, este valor predefinido é 31 \n"
        "e com um sensor com 2 saídas é 3.",

        "Il valore immesso è al di fuori del campo di valori consentito. \n\n"
        "Verrà caricato il valore di default. \n\n"
        "Con un sensore con 5 uscite digitali questo valore di default è 31 \n"
        "e con un sensore con 2 uscite è 3.",

        "Wprowadzona wartość jest poza dopuszczalnym zakresem. \n\n"
        "Zostanie załadowana wartość domyślna. \n\n"
        "Dla czujnika z 5 wyjściami cyfrowymi ta wartość domyślna wynosi 31, \n"
        "a dla czujnika z 2 wyjściami wynosi 3.",
    },
    // MsgDirectOutput
    {
        "Der Sensor hat mindestens so viele Ausgänge, \n"
        "wie Farben eingelernt werden sollen. \n\n"
        "Die Farben können daher direkt ausgegeben werden. \n"
        "Das heißt, Zeile 0 kann direkt auf OUT0 ausgegeben werden, \n"
        "Zeile 1 direkt auf OUT1 usw. \n\n"
        "Wenn Sie dies wünschen, klicken Sie bitte auf YES. \n\n"
        "Wenn Sie die Farben binär codiert ausgeben möchten, \n"
        "klicken Sie auf NO.",

        "The sensor has either the same number of outputs or more \n"
        "than the number of colors you want to teach. \n\n"
        "The colors therefore could be directly output. \n"
        "This means that line 0 can be directly output to OUT0, \n"
        "line 1 directly to OUT1, etc. \n\n"
        "If this is what you want, please click on YES. \n\n"
        "If you want to output the colors in binary encoded form, \n"
        "click on NO.",

        "Le capteur dispose d'autant de sorties ou plus \n"
        "que le nombre de couleurs que vous voulez apprendre. \n\n"
        "Les couleurs peuvent donc être délivrées directement. \n"
        "Cela signifie que la ligne 0 peut être délivrée directement sur OUT0, \n"
        "la ligne 1 directement sur OUT1, etc. \n\n"
        "Si c'est ce que vous souhaitez, cliquez sur YES. \n\n"
        "Si vous voulez délivrer les couleurs sous forme codée en binaire, \n"
        "cliquez sur NO.",

        "El sensor tiene el mismo número de salidas o más \n"
        "que el número de colores que desea enseñar. \n\n"
        "Por lo tanto, los colores se podrían emitir directamente. \n"
        "Esto significa que la línea 0 se puede emitir directamente por OUT0, \n"
        "la línea 1 directamente por OUT1, etc. \n\n"
        "Si es lo que desea, haga clic en YES. \n\n"
        "Si desea emitir los colores de forma codificada en binario, \n"
        "haga clic en NO.",

        "O sensor tem o mesmo número de saídas ou mais \n"
        "do que o número de cores que pretende ensinar. \n\n"
        "Por isso, as cores poderiam ser emitidas diretamente. \n"
        "Isto significa que a linha 0 pode ser emitida diretamente em OUT0, \n"
        "a linha 1 diretamente em OUT1, etc. \n\n"
        "Se é isto que pretende, clique em YES. \n\n"
        "Se pretender emitir as cores em forma codificada em binário, \n"
        "clique em NO.",

        "Il sensore ha un numero di uscite uguale o superiore \n"
        "al numero di colori che si desidera far apprendere. \n\n"
        "I colori potrebbero quindi essere emessi direttamente. \n"
        "Ciò significa che la riga 0 può essere emessa direttamente su OUT0, \n"
        "la riga 1 direttamente su OUT1, ecc. \n\n"
        "Se si desidera questo, fare clic su YES. \n\n"
        "Se si desidera emettere i colori in forma codificata binaria, \n"
        "fare clic su NO.",

        "Czujnik ma tyle samo wyjść lub więcej, \n"
        "niż wynosi liczba kolorów do nauczenia. \n\n"
        "Kolory mogą więc być wyprowadzane bezpośrednio. \n"
        "Oznacza to, że wiersz 0 może być wyprowadzany bezpośrednio na OUT0, \n"
        "wiersz 1 bezpośrednio na OUT1 itd. \n\n"
        "Jeśli tego chcesz, kliknij YES. \n\n"
        "Jeśli kolory mają być wyprowadzane w postaci kodu binarnego, \n"
        "kliknij NO.",
    },
    // MsgPlaceBrightest
    {
        "Legen Sie die hellste einzulernende Farbe vor \n"
        "den Sensor und klicken Sie auf OK.",

        "Place the brightest color to be taught in front of \n"
        "the sensor and click on OK.",

        "Placez la couleur la plus claire à apprendre devant \n"
        "le capteur et cliquez sur OK.",

        "Coloque el color más claro que se vaya a enseñar delante \n"
        "del sensor y haga clic en OK.",

        "Coloque a cor mais clara a ensinar em frente \n"
        "do sensor e clique em OK.",

        "Posizionare il colore più chiaro da apprendere davanti \n"
        "al sensore e fare clic su OK.",

        "Umieść najjaśniejszy kolor do nauczenia przed \n"
        "czujnikiem i kliknij OK.",
    },
    // MsgDefaultsFirst
    {
        "Zuerst werden Standardparameter zum Sensor gesendet. \n\n"
        "Danach stellt sich der Sensor automatisch auf die Oberfläche ein. \n\n"
        "Dieser Vorgang kann bis zu einer Minute dauern.",

        "Default parameters will first be sent to the sensor. \n\n"
        "Then the sensor will automatically adjust itself to the surface. \n\n"
        "This process may take up to one minute.",

        "Les paramètres par défaut vont d'abord être envoyés au capteur. \n\n"
        "Ensuite, le capteur va s'adapter automatiquement à la surface. \n\n"
        "Cette opération peut durer jusqu'à une minute.",

        "Primero se enviarán parámetros predeterminados al sensor. \n\n"
        "A continuación, el sensor se ajustará automáticamente a la superficie. \n\n"
        "Este proceso puede tardar hasta un minuto.",

        "Primeiro serão enviados parâmetros predefinidos para o sensor. \n\n"
        "Depois, o sensor ajustar-se-á automaticamente à superfície. \n\n"
        "Este processo pode demorar até um minuto.",

        "Per prima cosa verranno inviati al sensore i parametri di default. \n\n"
        "Quindi il sensore si adatterà automaticamente alla superficie. \n\n"
        "Questa procedura può durare fino a un minuto.",

        "Najpierw do czujnika zostaną wysłane parametry domyślne. \n\n"
        "Następnie czujnik automatycznie dostosuje się do powierzchni. \n\n"
        "Ten proces może potrwać do jednej minuty.",
    },
    // MsgPlaceColor
    {
        "Legen Sie nun eine einzulernende Farbe vor den Sensor \n"
        "und klicken Sie auf OK.",

        "Now place a color to be taught in front of the sensor \n"
        "and click on OK.",

        "Placez maintenant une couleur à apprendre devant le capteur \n"
        "et cliquez sur OK.",

        "Coloque ahora un color que se vaya a enseñar delante del sensor \n"
        "y haga clic en OK.",

        "Coloque agora uma cor a ensinar em frente do sensor \n"
        "e clique em OK.",

        "Ora posizionare un colore da apprendere davanti al sensore \n"
        "e fare clic su OK.",

        "Teraz umieść przed czujnikiem kolor do nauczenia \n"
        "i kliknij OK.",
    },
    // MsgTooBright
    {
        "Diese Farbe ist heller als die von Ihnen vorgegebene. \n\n"
        "Klicken Sie auf YES, um den Vorgang abzubrechen, \n"
        "und starten Sie den Assistenten dann erneut mit \n"
        "START ASSISTANT. \n\n"
        "Wenn Sie trotzdem fortfahren möchten, klicken Sie auf NO.",

        "This color is brighter than the one specified by you. \n\n"
        "Click on YES to cancel the process, \n"
        "then start the assistant again by clicking on \n"
        "START ASSISTANT. \n\n"
        "If you want to continue in spite of this, click on NO.",

        "Cette couleur est plus claire que celle que vous avez indiquée. \n\n"
        "Cliquez sur YES pour annuler l'opération, \n"
        "puis relancez l'assistant en cliquant sur \n"
        "START ASSISTANT. \n\n"
        "Si vous voulez continuer malgré tout, cliquez sur NO.",

        "Este color es más claro que el que usted ha indicado. \n\n"
        "Haga clic en YES para cancelar el proceso \n"
        "y vuelva a iniciar el asistente haciendo clic en \n"
        "START ASSISTANT. \n\n"
        "Si desea continuar a pesar de ello, haga clic en NO.",

        "Esta cor é mais clara do que a que indicou. \n\n"
        "Clique em YES para cancelar o processo \n"
        "e, em seguida, inicie novamente o assistente clicando em \n"
        "START ASSISTANT. \n\n"
        "Se pretender continuar mesmo assim, clique em NO.",

        "Questo colore è più chiaro di quello indicato. \n\n"
        "Fare clic su YES per annullare la procedura, \n"
        "quindi riavviare l'assistente facendo clic su \n"
        "START ASSISTANT. \n\n"
        "Se si desidera proseguire comunque, fare clic su NO.",

        "Ten kolor jest jaśniejszy niż kolor wskazany przez Ciebie. \n\n"
        "Kliknij YES, aby przerwać proces, \n"
        "a następnie ponownie uruchom asystenta, klikając \n"
        "START ASSISTANT. \n\n"
        "Jeśli mimo to chcesz kontynuować, kliknij NO.",
    },
    // MsgSavedToEeprom
    {
        "Die eingestellten Parameter und die eingelernten Farben \n"
        "werden jetzt im EEPROM des Sensors gespeichert. \n\n"
        "Klicken Sie auf GO und kontrollieren Sie in der Anzeige C-No: \n"
        "die Erkennung der Farben. \n"
        "Werden sie nicht erkannt, starten Sie den Assistenten bitte erneut.",

        "The set parameters and the taught colors \n"
        "are now saved in the sensor's EEPROM. \n\n"
        "Click on GO and check under the C-No:  display \n"
        "whether the colors are recognised. \n"
        "If they are not, please start the assistant again.",

        "Les paramètres réglés et les couleurs apprises \n"
        "sont maintenant enregistrés dans l'EEPROM du capteur. \n\n"
        "Cliquez sur GO et vérifiez dans l'affichage C-No: \n"
        "si les couleurs sont reconnues. \n"
        "Si ce n'est pas le cas, veuillez relancer l'assistant.",

        "Los parámetros ajustados y los colores enseñados \n"
        "se guardan ahora en la EEPROM del sensor. \n\n"
        "Haga clic en GO y compruebe en el indicador C-No: \n"
        "si se reconocen los colores. \n"
        "Si no es así, vuelva a iniciar el asistente.",

        "Os parâmetros definidos e as cores ensinadas \n"
        "são agora guardados na EEPROM do sensor. \n\n"
        "Clique em GO e verifique no indicador C-No: \n"
        "se as cores são reconhecidas. \n"
        "Se não forem, inicie novamente o assistente.",

        "I parametri impostati e i colori appresi \n"
        "vengono ora salvati nella EEPROM del sensore. \n\n"
        "Fare clic su GO e controllare nell'indicatore C-No: \n"
        "se i colori vengono riconosciuti. \n"
        "In caso contrario, riavviare l'assistente.",

        "Ustawione parametry i nauczone kolory \n"
        "zostaną teraz zapisane w pamięci EEPROM czujnika. \n\n"
        "Kliknij GO i na wskazaniu C-No: sprawdź, \n"
        "czy kolory są rozpoznawane. \n"
        "Jeśli nie, uruchom asystenta ponownie.",
    },
}};

}  // namespace qelto
